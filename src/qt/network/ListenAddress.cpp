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
    // Qt binds the IPv6 any-address for IPv6 alone; "[::]" means the whole network, IPv4 too.
    if (address == QHostAddress(QHostAddress::AnyIPv6)) {
        address = QHostAddress(QHostAddress::Any);
    }
    return ListenAddress{address, static_cast<std::uint16_t>(port)};
}

QString hostText(const QHostAddress& host) {
    // Qt names the address of both protocols as IPv4's.
    return host == QHostAddress(QHostAddress::Any) ? QStringLiteral("[::]") : host.toString();
}

QString addressText(const QHostAddress& host, std::uint16_t port) {
    const QString name = hostText(host);
    return (name.contains(':') && !name.startsWith('[') ? '[' + name + ']' : name) + ':' +
           QString::number(port);
}

bool isAnyAddress(const QHostAddress& host) {
    return host == QHostAddress(QHostAddress::Any) || host == QHostAddress(QHostAddress::AnyIPv4) ||
           host == QHostAddress(QHostAddress::AnyIPv6);
}

QHostAddress plainAddress(const QHostAddress& address) {
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4) : address;
}

bool listensOn(const QHostAddress& host, const QHostAddress& local) {
    const QHostAddress plain = plainAddress(local);
    const bool ipv4 = plain.protocol() == QAbstractSocket::IPv4Protocol;
    if (host == QHostAddress(QHostAddress::Any)) {
        return true;
    }
    if (host == QHostAddress(QHostAddress::AnyIPv4)) {
        return ipv4;
    }
    if (host == QHostAddress(QHostAddress::AnyIPv6)) {
        return !ipv4;
    }
    return plainAddress(host).isEqual(plain);
}

QList<QHostAddress> reachableAddresses(const QHostAddress& host) {
    if (!isAnyAddress(host)) {
        return {host};
    }
    QList<QHostAddress> network;
    QList<QHostAddress> loopback;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!interface.flags().testFlag(QNetworkInterface::IsUp)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress& address = entry.ip();
            const bool scoped =
                address.protocol() == QAbstractSocket::IPv6Protocol && address.isLinkLocal();
            if (!listensOn(host, address) || scoped) {
                continue;
            }
            (address.isLoopback() ? loopback : network).append(address);
        }
    }
    return network + loopback;
}

QString listText(const QStringList& items) {
    if (items.size() < 2) {
        return items.join(QString());
    }
    return items.first(items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
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
