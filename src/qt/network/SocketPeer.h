// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <ostream>

namespace tavero::qt {

/// "127.0.0.1:40000": the address and port of the socket's peer, or "a client".
QByteArray peerName(int descriptor);

/// Whether the client reset the connection: nothing it sent is carried out any more.
bool peerReset(int descriptor);

/// Logs that the client on `descriptor` is closed unserved for sending HTTP.
void logHttpRefused(std::ostream& log, int descriptor);

}  // namespace tavero::qt
