// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <iostream>
#include <memory>

#include "app/CTaveroApp.h"
#include "core/BuildConfig.h"
#include "qt/QtHost.h"
#include "qt/SecondWindow.h"
#include "qt/i18n/Language.h"
#include "qt/i18n/Translations.h"
#include "qt/measure/QtFrequencyResponseWindow.h"
#include "qt/serial/SerialPortBridge.h"
#include "res/ProgramTemplates.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"

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
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() ||
        (parser.isSet(simulator) && parser.isSet(port))) {
        std::cerr << "tavero: "
                  << (parser.errorText().isEmpty() ? "--simulator and --port exclude each other or "
                                                     "an argument is left over"
                                                   : parser.errorText().toStdString())
                  << "\nTry 'tavero --help'.\n";
        return 2;
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

    QApplication application(argc, argv);
    const tavero::qt::Translations translations(
        tavero::qt::languageFor(QLocale::system().uiLanguages()),
        tavero::qt::Translations::defaultCatalogueFolders());
    // Lets Wayland tie the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName("de.tavero.Tavero");
    tavero::sim::SimulatedGenerator generator;
    std::unique_ptr<tavero::link::UsbBridge> bridge;
    if (parser.isSet(simulator)) {
        bridge = std::make_unique<tavero::sim::SimulatedBridge>(generator);
    } else if (parser.isSet(port)) {
        bridge = std::make_unique<tavero::qt::SerialPortBridge>(parser.value(port));
    } else {
        bridge = std::make_unique<tavero::qt::SerialPortBridge>();
    }

    tavero::qt::QtHost host(tavero::res::programTemplates());
    tavero::store::AtomicFileWriter fileWriter;
    tavero::app::CTaveroApp app(host, *bridge, fileWriter);
    tavero::qt::QtFrequencyResponseWindow frequencyResponse(host);
    app.setFrequencyResponseWindow(&frequencyResponse);
    if (auto* serial = dynamic_cast<tavero::qt::SerialPortBridge*>(bridge.get())) {
        app.setHolderTeller([serial](tavero::ui::Host& shown) {
            return tavero::qt::tellWhoHoldsTheGenerator(shown, serial->generatorDevicePaths());
        });
    }
    app.run(parser.isSet(connect));
    return 0;
}
