// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QString>

namespace tavero::qt {

/// What a client is told of the network interface it reached the server through, as an LXI
/// instrument's welcome page and identification show it.
struct InterfaceFacts {
    QString name;          ///< "eth0", "lo"; empty when no interface holds the address
    QHostAddress address;  ///< as plainAddress() gives it
    QHostAddress netmask;
    QString macAddress;  ///< "00:1A:2B:3C:4D:5E"
    /// The interface's default route; the any-address of the protocol when it has none.
    QHostAddress gateway;
    bool dhcp = false;    ///< the address has a lifetime, as one a DHCP server leased
    bool autoIp = false;  ///< a link-local address, as AutoIP chooses one
};

/// The facts of the interface that holds the local address `local`.
InterfaceFacts interfaceFacts(const QHostAddress& local);

}  // namespace tavero::qt
