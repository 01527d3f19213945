// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QString>
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
/// text is 127.0.0.1:5025. Host names are not looked up. Nothing when the text is not one.
std::optional<ListenAddress> parseListenAddress(const QString& text);

/// An address of this computer and the interface that holds it.
struct InterfaceAddress {
    QNetworkInterface interface;
    QNetworkAddressEntry entry;  ///< with the netmask and broadcast address
};

/// The interface that holds `address`; nothing when none does (the any-address, say).
std::optional<InterfaceAddress> interfaceHolding(const QHostAddress& address);

/// "127.0.0.1:5025" or "[::1]:5025": the form parseListenAddress() reads.
QString addressText(const QHostAddress& host, std::uint16_t port);

}  // namespace tavero::qt
