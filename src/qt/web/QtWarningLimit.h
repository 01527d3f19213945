// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::qt {

/// While it lives, lets each of Qt's warnings through once a minute: Qt warns of every refused
/// WebSocket handshake, which a hostile client can repeat a thousand times a second.
class QtWarningLimit {
public:
    QtWarningLimit();
    ~QtWarningLimit();

    QtWarningLimit(const QtWarningLimit&) = delete;
    QtWarningLimit& operator=(const QtWarningLimit&) = delete;
};

}  // namespace tavero::qt
