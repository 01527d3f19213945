// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/InstrumentAnnouncement.h"

#include <QSysInfo>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "qt/network/ListenAddress.h"

namespace tavero::qt {

namespace {

constexpr int kProtocolIpv4 = 0;
constexpr int kProtocolIpv6 = 1;

/// The interfaces and protocol that reach `host`; nothing for loopback, which multicast DNS
/// does not use and other computers cannot reach.
std::optional<AnnouncementScope> scopeFor(const QHostAddress& host) {
    if (host.isLoopback()) {
        return std::nullopt;
    }
    if (host == QHostAddress(QHostAddress::AnyIPv4)) {
        return AnnouncementScope{.interfaceIndex = -1, .protocol = kProtocolIpv4};
    }
    if (host == QHostAddress(QHostAddress::AnyIPv6) || host == QHostAddress(QHostAddress::Any)) {
        return AnnouncementScope{};
    }
    const int protocol =
        host.protocol() == QAbstractSocket::IPv6Protocol ? kProtocolIpv6 : kProtocolIpv4;
    const std::optional<InterfaceAddress> held = interfaceHolding(host);
    return AnnouncementScope{.interfaceIndex = held ? held->interface.index() : -1,
                             .protocol = protocol};
}

/// The four fields of a *IDN? answer: maker, model, serial number, firmware.
std::array<std::string, 4> identityFields(std::string_view identity) {
    while (!identity.empty() && (identity.back() == '\n' || identity.back() == '\r')) {
        identity.remove_suffix(1);
    }
    std::array<std::string, 4> fields;
    for (std::string& field : fields) {
        const std::size_t comma = identity.find(',');
        field = identity.substr(0, comma);
        identity =
            comma == std::string_view::npos ? std::string_view() : identity.substr(comma + 1);
    }
    return fields;
}

/// LXI's TXT record.
QList<QByteArray> lxiText(const std::array<std::string, 4>& identity) {
    constexpr std::array<const char*, 4> kKeys = {
        "Manufacturer=", "Model=", "SerialNumber=", "FirmwareVersion="};
    QList<QByteArray> text{QByteArrayLiteral("txtvers=1")};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        text.append(QByteArray(kKeys[i]) + QByteArray::fromStdString(identity[i]));
    }
    return text;
}

}  // namespace

std::unique_ptr<ServiceAnnouncement> announceInstrument(std::string_view identity,
                                                        const QHostAddress& host,
                                                        const ServedPorts& ports,
                                                        std::ostream& errors,
                                                        std::string_view program) {
    const std::optional<AnnouncementScope> scope = scopeFor(host);
    if (!scope) {
        errors << program << ": --announce: nothing announced, as " << host.toString().toStdString()
               << " cannot be reached from other computers; give --listen the address of this "
                  "computer on the network\n";
        return nullptr;
    }
    std::vector<AnnouncedService> services;
    if (ports.scpiRaw != 0) {
        services.push_back({QStringLiteral("_scpi-raw._tcp"), ports.scpiRaw});
    }
    if (ports.portMapper != 0) {
        services.push_back({QStringLiteral("_vxi-11._tcp"), ports.portMapper});
    }
    // LXI's record names the web page; without one, where VXI-11 clients find the instrument.
    if (const std::uint16_t lxiPort = ports.web != 0 ? ports.web : ports.portMapper; lxiPort != 0) {
        services.push_back({QStringLiteral("_lxi._tcp"), lxiPort});
    }
    const std::array<std::string, 4> fields = identityFields(identity);
    const QString name =
        QString::fromStdString(fields[1]) + QStringLiteral(" on ") + QSysInfo::machineHostName();
    auto announcement = std::make_unique<ServiceAnnouncement>(errors);
    if (const std::optional<QString> reason =
            announcement->announce(name, std::move(services), lxiText(fields), *scope)) {
        errors << program << ": --announce: nothing announced: " << reason->toStdString() << '\n';
        return nullptr;
    }
    return announcement;
}

}  // namespace tavero::qt
