#include <QCoreApplication>
#include <QString>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/BuildConfig.h"
#include "ctl/CommandLine.h"
#include "ctl/ControlTool.h"
#include "ctl/UsageError.h"
#include "qt/serial/SerialPortBridge.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace {

/// Discards what is written to it.
class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

int run(const tavero::ctl::CommandLine& line) {
    using namespace tavero;
    if (line.help) {
        std::cout << ctl::kUsageText;
        return ctl::kExitSuccess;
    }
    if (line.version) {
        std::cout << "tavero-ctl " << kProgramVersion << '\n';
        return ctl::kExitSuccess;
    }

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

    NullStream quiet;
    ctl::ControlTool tool(*bridge, std::cout, std::cerr, line.verbose ? std::cerr : quiet,
                          "out.txt");
    if (line.command == "read" && line.arguments.empty()) {
        return tool.read();
    }
    if (line.command == "set") {
        return tool.set(line.arguments);
    }
    throw ctl::UsageError("unknown command '" + line.command + "' or wrong arguments");
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    try {
        return run(tavero::ctl::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const tavero::ctl::UsageError& e) {
        std::cerr << "tavero-ctl: " << e.what() << "\nTry 'tavero-ctl --help'.\n";
        return tavero::ctl::kExitUsage;
    }
}
