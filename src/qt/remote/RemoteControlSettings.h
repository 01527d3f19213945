// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>

#include "qt/network/ListenAddress.h"
#include "qt/remote/RemoteOptions.h"

namespace tavero::qt {

/// The window's remote control as the user set it: which services, on which address.
struct RemoteControlSettings {
    /// The front panel's port when none was set.
    static constexpr quint16 kDefaultHttpPort = 8080;

    bool scpiSocket = false;
    bool vxi11 = false;
    bool frontPanel = false;
    QString host = QStringLiteral("127.0.0.1");  ///< an IP address, of every service
    quint16 scpiPort = kScpiRawPort;
    quint16 httpPort = kDefaultHttpPort;

    bool anyOn() const { return scpiSocket || vxi11 || frontPanel; }
    bool operator==(const RemoteControlSettings&) const = default;
};

/// What `store` remembers; everything off when it remembers nothing.
RemoteControlSettings loadRemoteControl(QSettings& store);
/// False when `store` could not be written.
bool storeRemoteControl(const RemoteControlSettings& settings, QSettings& store);
/// The services `settings` ask for; the host must be an IP address.
RemoteOptions remoteOptions(const RemoteControlSettings& settings);

}  // namespace tavero::qt
