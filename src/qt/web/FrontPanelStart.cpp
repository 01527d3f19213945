// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/FrontPanelStart.h"

#include <QFile>
#include <QStandardPaths>

namespace tavero::qt {

std::optional<HttpAddress> parseHttpAddress(const QString& text) {
    bool isNumber = false;
    const uint port = text.toUInt(&isNumber);
    if (isNumber) {
        return port <= 65535 ? std::optional(HttpAddress{std::nullopt, static_cast<quint16>(port)})
                             : std::nullopt;
    }
    if (text.isEmpty()) {
        return std::nullopt;  // would be the SCPI server's default address
    }
    const std::optional<ListenAddress> address = parseListenAddress(text);
    return address ? std::optional(HttpAddress{address->host, address->port}) : std::nullopt;
}

std::unique_ptr<FrontPanelServer> startFrontPanel(const HttpAddress& http,
                                                  const std::filesystem::path& passwordFile,
                                                  scpi::Instrument& instrument,
                                                  const scpi::InstrumentEnvironment& environment,
                                                  const ListenAddress& scpi, quint16 scpiPort,
                                                  bool vxi11Findable, std::ostream& out,
                                                  std::ostream& errors, std::string_view program) {
    const ListenAddress address{http.host.value_or(scpi.host), http.port};
    QByteArray password;
    if (!passwordFile.empty()) {
        QFile file(QString::fromStdU16String(passwordFile.u16string()));
        if (!file.open(QIODevice::ReadOnly)) {
            errors << program << ": cannot read the password file " << passwordFile.string() << ": "
                   << file.errorString().toStdString() << '\n';
            return nullptr;
        }
        password = file.readLine(4096).trimmed();
        if (password.isEmpty()) {
            errors << program << ": the password file " << passwordFile.string()
                   << " holds no password in its first line\n";
            return nullptr;
        }
    }
    auto panel = std::make_unique<FrontPanelServer>(
        instrument, environment,
        FrontPanelServer::ServedInstrument{
            .host = scpi.host, .scpiPort = scpiPort, .vxi11Findable = vxi11Findable},
        password, errors,
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdU16String());
    if (!panel->listen(address)) {
        errors << program << ": cannot listen on "
               << addressText(address.host, address.port).toStdString() << ": "
               << panel->errorText().toStdString() << '\n';
        return nullptr;
    }
    out << "Front panel on " << panel->pageAddress().toStdString() << std::endl;
    if (password.isEmpty() && !address.host.isLoopback()) {
        errors << program
               << ": the front panel takes changes from anyone who can reach it; "
                  "--http-password-file asks for a password\n";
    }
    return panel;
}

}  // namespace tavero::qt
