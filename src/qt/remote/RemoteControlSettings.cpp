// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/RemoteControlSettings.h"

#include <QHostAddress>
#include <string>

namespace tavero::qt {

namespace {

constexpr char kGroup[] = "RemoteControl";
constexpr char kScpiSocket[] = "scpiSocket";
constexpr char kVxi11[] = "vxi11";
constexpr char kFrontPanel[] = "frontPanel";
constexpr char kHost[] = "host";
constexpr char kScpiPort[] = "scpiPort";
constexpr char kHttpPort[] = "httpPort";

/// A remembered port, or `fallback` when none or no port is remembered.
quint16 port(const QSettings& store, const char* key, quint16 fallback) {
    bool isNumber = false;
    const uint value = store.value(key).toUInt(&isNumber);
    return isNumber && value <= 65535 ? static_cast<quint16>(value) : fallback;
}

}  // namespace

RemoteControlSettings loadRemoteControl(QSettings& store) {
    const RemoteControlSettings defaults;
    store.beginGroup(kGroup);
    const RemoteControlSettings settings{
        .scpiSocket = store.value(kScpiSocket, defaults.scpiSocket).toBool(),
        .vxi11 = store.value(kVxi11, defaults.vxi11).toBool(),
        .frontPanel = store.value(kFrontPanel, defaults.frontPanel).toBool(),
        .host = store.value(kHost, defaults.host).toString(),
        .scpiPort = port(store, kScpiPort, defaults.scpiPort),
        .httpPort = port(store, kHttpPort, defaults.httpPort)};
    store.endGroup();
    return settings;
}

bool storeRemoteControl(const RemoteControlSettings& settings, QSettings& store) {
    store.beginGroup(kGroup);
    store.setValue(kScpiSocket, settings.scpiSocket);
    store.setValue(kVxi11, settings.vxi11);
    store.setValue(kFrontPanel, settings.frontPanel);
    store.setValue(kHost, settings.host);
    store.setValue(kScpiPort, settings.scpiPort);
    store.setValue(kHttpPort, settings.httpPort);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

RemoteOptions remoteOptions(const RemoteControlSettings& settings) {
    const QHostAddress host(settings.host);
    return {.listen = addressText(host, settings.scpiPort).toStdString(),
            .scpiSocket = settings.scpiSocket,
            .vxi11 = settings.vxi11,
            .http = settings.frontPanel ? std::to_string(settings.httpPort) : std::string(),
            .httpPasswordFile = {},
            .announce = false,
            .vxi11AlternatePorts = false};
}

}  // namespace tavero::qt
