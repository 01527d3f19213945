// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ListenAddress.h"

#include <QAbstractSocket>

namespace tavero::qt {

std::optional<ListenAddress> parseListenAddress(const QString& text) {
    if (text.isEmpty()) {
        return ListenAddress{QHostAddress(QHostAddress::LocalHost), kScpiRawPort};
    }
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0) {
        return std::nullopt;
    }
    QString host = text.left(colon);
    if (host.startsWith('[') && host.endsWith(']')) {
        host = host.mid(1, host.size() - 2);
    } else if (host.contains(':')) {
        return std::nullopt;  // an IPv6 address needs its brackets to tell it from the port
    }
    bool isNumber = false;
    const uint port = text.mid(colon + 1).toUInt(&isNumber);
    QHostAddress address;
    if (!isNumber || port > 65535 || !address.setAddress(host)) {
        return std::nullopt;
    }
    return ListenAddress{address, static_cast<std::uint16_t>(port)};
}

QString addressText(const QHostAddress& host, std::uint16_t port) {
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? '[' + host.toString() + ']'
                             : host.toString();
    return name + ':' + QString::number(port);
}

std::optional<InterfaceAddress> interfaceHolding(const QHostAddress& address) {
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().isEqual(address)) {
                return InterfaceAddress{interface, entry};
            }
        }
    }
    return std::nullopt;
}

}  // namespace tavero::qt
