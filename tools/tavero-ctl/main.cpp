// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ctl/CommandLine.h"
#include "ctl/ControlTool.h"
#include "ctl/SteadyRunClock.h"
#include "ctl/TraceProblemText.h"
#include "ctl/UsageError.h"
#include "link/TraceFile.h"
#include "qt/i18n/Language.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/i18n/TranslatingStreamBuffer.h"
#include "qt/i18n/Translations.h"
#include "qt/network/ScpiServe.h"
#include "qt/serial/SerialPortBridge.h"
#include "qt/web/FrontPanelStart.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"
#include "store/ProfileFile.h"

namespace {

/// Discards what is written to it.
class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

/// The window's profile file: the same application name gives the same per-user data folder.
/// Empty when the system names no such folder.
std::filesystem::path profileFilePath() {
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataFolder.isEmpty()) {
        return {};
    }
    return tavero::store::profileFilePath(std::filesystem::path(dataFolder.toStdU16String()));
}

int run(const tavero::ctl::CommandLine& line) {
    using namespace tavero;
    sim::SimulatedGenerator generator;
    std::unique_ptr<link::UsbBridge> bridge;
    switch (line.bridge) {
        case ctl::BridgeChoice::kUsb:
            bridge = std::make_unique<qt::SerialPortBridge>();
            break;
        case ctl::BridgeChoice::kPort:
            bridge = std::make_unique<qt::SerialPortBridge>(QString::fromStdString(line.portPath));
            break;
        case ctl::BridgeChoice::kSimulator:
            bridge = std::make_unique<sim::SimulatedBridge>(generator);
            break;
    }

    // The logic writes its German messages; they reach the terminal in the desktop's language.
    const qt::Translations translations(qt::languageFor(QLocale::system().uiLanguages()),
                                        qt::Translations::defaultCatalogueFolders());
    qt::TranslatingStreamBuffer translating(*std::cerr.rdbuf(), [](std::string_view text) {
        return qt::translatedText(text).toStdString();
    });
    std::ostream errors(&translating);
    NullStream quiet;
    store::AtomicFileWriter fileWriter;
    ctl::SteadyRunClock clock(STDOUT_FILENO);
    link::TraceFile trace(line.tracePath, [&errors, &line](int error) {
        errors << ctl::traceProblemText(line.tracePath, error) << '\n';
    });
    if (line.command == "serve" && !line.help && !line.version) {
        const scpi::InstrumentEnvironment environment{
            .bridge = *bridge,
            .diagnostics = line.verbose ? std::cerr : quiet,
            .trace = trace,
            .profileFile = profileFilePath(),
            .fileWriter = fileWriter,
            .clock = clock,
            .scopeHints = errors};
        qt::ServeCompanion frontPanel;
        if (!line.http.empty()) {
            const std::optional<qt::HttpAddress> http =
                qt::parseHttpAddress(QString::fromStdString(line.http));
            if (!http) {
                errors << "tavero-ctl: --http takes [HOST:]PORT with an IP address, e.g. 8080 "
                          "or 127.0.0.1:8080; got '"
                       << line.http << "'\n";
                return ctl::kExitUsage;
            }
            frontPanel = [&, http](scpi::Instrument& instrument,
                                   const qt::ListenAddress& scpiAddress, quint16 scpiPort,
                                   bool vxi11Findable) {
                std::unique_ptr<qt::FrontPanelServer> panel =
                    qt::startFrontPanel(*http, line.httpPasswordFile, instrument, environment,
                                        scpiAddress, scpiPort, vxi11Findable, std::cout, errors);
                const quint16 port = panel ? panel->port() : quint16{0};
                return qt::CompanionServer{std::move(panel), port};
            };
        }
        return qt::serveScpi(environment,
                             {.listen = line.listen,
                              .announce = line.announce,
                              .vxi11AlternatePorts = line.vxi11AlternatePorts,
                              .companion = frontPanel},
                             std::cout, errors);
    }
    ctl::ControlTool tool({.bridge = *bridge,
                           .out = std::cout,
                           .errors = errors,
                           .diagnostics = line.verbose ? std::cerr : quiet,
                           .trace = trace,
                           .profileFile = profileFilePath(),
                           .fileWriter = fileWriter,
                           .clock = clock});
    return tool.run(line);
}

}  // namespace

int main(int argc, char* argv[]) {
    // A reader that has gone (`play ... | head -1`) must not end the tool before it has sent
    // the disconnect notice: the failed write stops the command instead.
    std::signal(SIGPIPE, SIG_IGN);
    // A later open must not take the place of a closed standard output, or results would land
    // in that file; writes to /dev/full fail as they would on the closed output.
    if (fcntl(STDOUT_FILENO, F_GETFD) < 0 && errno == EBADF) {
        const int full = open("/dev/full", O_WRONLY);
        if (full > STDOUT_FILENO) {
            dup2(full, STDOUT_FILENO);
            close(full);
        }
    }
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("Tavero");
    try {
        return run(tavero::ctl::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const tavero::ctl::UsageError& e) {
        std::cerr << "tavero-ctl: " << e.what() << "\nTry 'tavero-ctl --help'.\n";
        return tavero::ctl::kExitUsage;
    }
}
