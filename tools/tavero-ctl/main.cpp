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
#include "qt/instance/HeldGenerator.h"
#include "qt/remote/ServeCommand.h"
#include "qt/remote/ServeOptions.h"
#include "qt/serial/SerialPortBridge.h"
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
    // The serial port's bridge; the simulated generator is never another program's.
    qt::SerialPortBridge* serial = nullptr;
    switch (line.bridge) {
        case ctl::BridgeChoice::kUsb:
            bridge = std::make_unique<qt::SerialPortBridge>();
            serial = static_cast<qt::SerialPortBridge*>(bridge.get());
            break;
        case ctl::BridgeChoice::kPort:
            bridge = std::make_unique<qt::SerialPortBridge>(QString::fromStdString(line.portPath));
            serial = static_cast<qt::SerialPortBridge*>(bridge.get());
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
        return qt::serve(
            {.bridge = *bridge,
             .trace = trace,
             .diagnostics = line.verbose ? std::cerr : quiet,
             .profileFile = profileFilePath(),
             .fileWriter = fileWriter,
             .clock = clock,
             .out = std::cout,
             .errors = errors,
             .heldDevicePath =
                 [serial] { return serial != nullptr ? serial->openDevicePath() : QString(); }},
            qt::remoteOptions(line));
    }
    ctl::ControlTool tool(
        {.bridge = *bridge,
         .out = std::cout,
         .errors = errors,
         .diagnostics = line.verbose ? std::cerr : quiet,
         .trace = trace,
         .profileFile = profileFilePath(),
         .fileWriter = fileWriter,
         .clock = clock,
         .heldGenerator =
             [serial](std::ostream& sessionErrors) -> std::unique_ptr<ctl::GeneratorSession> {
             if (serial == nullptr) {
                 return nullptr;
             }
             return qt::reachHeldGenerator(serial->generatorDevicePaths(), sessionErrors);
         }});
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
