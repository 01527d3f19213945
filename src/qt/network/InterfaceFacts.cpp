// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/InterfaceFacts.h"

#include <QFile>
#include <QList>
#include <QtEndian>
#include <array>

#include "qt/network/ListenAddress.h"

namespace tavero::qt {

namespace {

/// The lines of a kernel table, each split at its runs of blanks. Read whole: the kernel gives
/// such files no size.
QList<QList<QByteArray>> tableRows(const QString& path) {
    QFile table(path);
    QList<QList<QByteArray>> rows;
    if (table.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : table.readAll().split('\n')) {
            rows.append(line.simplified().split(' '));
        }
    }
    return rows;
}

/// The default route of `interface` from the kernel's IPv4 routing table: "eth0 00000000
/// 010200C0 ...", the gateway in the kernel's byte order.
QHostAddress ipv4Gateway(const QString& interface) {
    for (const QList<QByteArray>& fields : tableRows(QStringLiteral("/proc/net/route"))) {
        bool isNumber = false;
        const quint32 gateway = fields.size() > 2 ? fields[2].toUInt(&isNumber, 16) : 0;
        if (isNumber && fields[0] == interface.toUtf8() && fields[1] == "00000000") {
            // The kernel prints the address's bytes in memory order as one number.
            return QHostAddress(qFromBigEndian(gateway));
        }
    }
    return {};
}

/// The default route of `interface` from the kernel's IPv6 routing table: destination and
/// prefix length 0, the next hop in the fifth field and the interface in the last.
QHostAddress ipv6Gateway(const QString& interface) {
    for (const QList<QByteArray>& fields : tableRows(QStringLiteral("/proc/net/ipv6_route"))) {
        if (fields.size() < 10 || fields.last() != interface.toUtf8() ||
            fields[0] != QByteArray(32, '0') || fields[1] != "00") {
            continue;
        }
        const QByteArray hop = QByteArray::fromHex(fields[4]);
        if (hop.size() == 16) {
            std::array<quint8, 16> bytes{};
            std::copy(hop.begin(), hop.end(), bytes.begin());
            return QHostAddress(bytes.data());
        }
    }
    return {};
}

}  // namespace

InterfaceFacts interfaceFacts(const QHostAddress& local) {
    const QHostAddress plain = plainAddress(local);
    const bool ipv6 = plain.protocol() == QAbstractSocket::IPv6Protocol;
    InterfaceFacts facts;
    facts.address = plain;
    facts.gateway = QHostAddress(ipv6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4);
    facts.autoIp = plain.isLinkLocal();
    const std::optional<InterfaceAddress> held = interfaceHolding(plain);
    if (!held) {
        return facts;
    }
    facts.name = held->interface.name();
    facts.netmask = held->entry.netmask();
    facts.macAddress = held->interface.hardwareAddress();
    facts.dhcp = !held->entry.isPermanent();
    const QHostAddress gateway = ipv6 ? ipv6Gateway(facts.name) : ipv4Gateway(facts.name);
    if (!gateway.isNull()) {
        facts.gateway = gateway;
    }
    return facts;
}

}  // namespace tavero::qt
