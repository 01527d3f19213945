// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <ostream>

namespace tavero::qt {

/// "127.0.0.1:40000": the address and port of the socket's peer, or "a client".
QByteArray peerName(int descriptor);

/// The address of the socket's peer, as plainAddress() gives it; null when it has none.
QHostAddress peerAddress(int descriptor);

/// Acknowledges what was read at once rather than after the system's delay: a client that sends
/// a command and then a query without TCP_NODELAY holds the query back until the command is
/// acknowledged. Linux drops the mode again by itself, so it is asked for after every read.
void acknowledgePromptly(int descriptor);

/// Whether the client reset the connection: nothing it sent is carried out any more.
bool peerReset(int descriptor);

/// Logs that the client on `descriptor` is closed unserved for sending HTTP.
void logHttpRefused(std::ostream& log, int descriptor);

}  // namespace tavero::qt
