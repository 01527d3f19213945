// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/CTaveroApp.h"
#include "core/BuildConfig.h"
#include "ctl/UsageError.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "qt/FrontWindow.h"
#include "qt/QtHost.h"
#include "qt/SecondWindow.h"
#include "qt/i18n/Language.h"
#include "qt/i18n/Translations.h"
#include "qt/instance/InstanceHolder.h"
#include "qt/measure/QtFrequencyResponseWindow.h"
#include "qt/remote/QtRemoteControlWindow.h"
#include "qt/remote/ServeOptions.h"
#include "qt/remote/WindowRemoteServices.h"
#include "qt/serial/SerialPortBridge.h"
#include "res/ProgramTemplates.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"
#include "store/ProfileFile.h"

int main(int argc, char* argv[]) {
    // The options are read before the window system starts, so that --help and --version work
    // without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription("Control program for the Tavero DDS function generator.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version("version", "Show the program version.");
    const QCommandLineOption simulator("simulator", "Use the built-in simulated generator.");
    const QCommandLineOption port("port", "Use this serial device instead of searching by USB ids.",
                                  "path");
    const QCommandLineOption connect("connect",
                                     "Connect to the generator as soon as the window is shown.");
    parser.addOptions({help, version, simulator, port, connect});
    const tavero::qt::WindowServeOptions serveOptions;
    serveOptions.addTo(parser);
    const auto usageError = [](const std::string& text) {
        std::cerr << "tavero: " << text << "\nTry 'tavero --help'.\n";
        return 2;
    };
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() ||
        (parser.isSet(simulator) && parser.isSet(port))) {
        return usageError(parser.errorText().isEmpty()
                              ? "--simulator and --port exclude each other or an argument is "
                                "left over"
                              : parser.errorText().toStdString());
    }
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        std::cout << parser.helpText().replace("<executable_name>", "tavero").toStdString();
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "tavero " << tavero::kProgramVersion << '\n';
        return 0;
    }
    tavero::qt::WindowServeRequest serve;
    try {
        serve = serveOptions.read(parser);
    } catch (const tavero::ctl::UsageError& e) {
        return usageError(e.what());
    }

    QApplication application(argc, argv);
    const tavero::qt::Translations translations(
        tavero::qt::languageFor(QLocale::system().uiLanguages()),
        tavero::qt::Translations::defaultCatalogueFolders());
    // Lets Wayland tie the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName("de.tavero.Tavero");
    tavero::sim::SimulatedGenerator simulated;
    std::unique_ptr<tavero::link::UsbBridge> bridge;
    // The serial bridge names the device held, for tavero-ctl and a second window to find it.
    tavero::qt::SerialPortBridge* serial = nullptr;
    if (parser.isSet(simulator)) {
        bridge = std::make_unique<tavero::sim::SimulatedBridge>(simulated);
    } else {
        auto serialBridge = parser.isSet(port)
                                ? std::make_unique<tavero::qt::SerialPortBridge>(parser.value(port))
                                : std::make_unique<tavero::qt::SerialPortBridge>();
        serial = serialBridge.get();
        bridge = std::move(serialBridge);
    }

    // Says nothing when it cannot be written, as the window never did.
    tavero::link::TraceFile trace(serve.tracePath);
    tavero::model::GeneratorModel generator(*bridge, trace, std::cout);
    const tavero::qt::InstanceHolder holder(
        generator,
        {.program = "tavero",
         .devicePath =
             [serial] { return serial != nullptr ? serial->openDevicePath() : QString(); },
         .raise = &tavero::qt::bringWindowsToFront},
        std::cerr);

    tavero::qt::QtHost host(tavero::res::programTemplates());
    tavero::store::AtomicFileWriter fileWriter;
    tavero::app::CTaveroApp app(host, generator, fileWriter);
    tavero::qt::QtFrequencyResponseWindow frequencyResponse(host);
    app.setFrequencyResponseWindow(&frequencyResponse);
    if (serial != nullptr) {
        app.setHeldGeneratorNotice([serial](tavero::ui::Host& windowHost) {
            return tavero::qt::tellWhoHoldsTheGenerator(windowHost, serial->generatorDevicePaths());
        });
    }
    const std::filesystem::path dataFolder = host.dataFolder();
    tavero::qt::WindowRemoteServices remoteServices(
        {.generator = generator,
         .profileFile =
             dataFolder.empty() ? dataFolder : tavero::store::profileFilePath(dataFolder),
         .fileWriter = fileWriter,
         .out = std::cout,
         .errors = std::cerr});
    QSettings remembered(QSettings::UserScope, "Tavero", "Tavero");
    tavero::qt::QtRemoteControlWindow remoteControl(host, remoteServices, remembered);
    app.setRemoteControlWindow(&remoteControl);
    if (const int status = remoteControl.startAtLaunch(serve.serve); status != 0) {
        return status;
    }
    // Served clients find the generator connected, as with tavero-ctl serve.
    app.run(parser.isSet(connect) || serve.serve.has_value());
    remoteServices.endAfterInterrupt();
    return 0;
}
