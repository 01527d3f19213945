// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tavero::qt {

/// Where the SCPI server listens.
struct ListenAddress {
    QHostAddress host;
    std::uint16_t port = 0;
};

/// The instrument port of raw-socket SCPI.
inline constexpr std::uint16_t kScpiRawPort = 5025;

/// Reads "HOST:PORT" with an IPv4 address or an IPv6 one in brackets ("[::1]:5025"); an empty
/// text is 127.0.0.1:5025, and "[::]" both IPv4 and IPv6. Host names are not looked up. Nothing
/// when the text is not one.
std::optional<ListenAddress> parseListenAddress(const QString& text);

/// An address of this computer and the interface that holds it.
struct InterfaceAddress {
    QNetworkInterface interface;
    QNetworkAddressEntry entry;  ///< with the netmask and broadcast address
};

/// The interface that holds `address`; nothing when none does (the any-address, say).
std::optional<InterfaceAddress> interfaceHolding(const QHostAddress& address);

/// "127.0.0.1", "::1", or "[::]" for the address of both IPv4 and IPv6.
QString hostText(const QHostAddress& host);

/// "127.0.0.1:5025" or "[::1]:5025": the form parseListenAddress() reads.
QString addressText(const QHostAddress& host, std::uint16_t port);

/// Whether `host` stands for every address of this computer (0.0.0.0, [::]).
bool isAnyAddress(const QHostAddress& host);

/// `address` as IPv4 when it is an IPv4 address in IPv6 form, as a dual-stack socket names its
/// IPv4 peers; one client then counts as one address whichever way it came.
QHostAddress plainAddress(const QHostAddress& address);

/// Whether a socket listening on `host` takes connections to the local address `local`.
bool listensOn(const QHostAddress& host, const QHostAddress& local);

/// The addresses clients reach a server on `host` at: `host` itself, or for an any-address those
/// of every interface that is up, the ones other computers can reach first and loopback last.
/// IPv6 link-local addresses are left out: no URL or resource string carries their scope.
QList<QHostAddress> reachableAddresses(const QHostAddress& host);

/// "a", "a and b", "a, b and c".
QString listText(const QStringList& items);

}  // namespace tavero::qt
