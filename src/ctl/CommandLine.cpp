#include "ctl/CommandLine.h"

#include "ctl/UsageError.h"

namespace tavero::ctl {

const char* const kUsageText =
    "Usage: tavero-ctl [--port PATH | --simulator] [--verbose] COMMAND [ARGUMENTS]\n"
    "\n"
    "Controls a Tavero function generator from scripts.\n"
    "\n"
    "Commands:\n"
    "  read               print the firmware version and the stored settings as Key=value\n"
    "  set KEY=VALUE...   change settings (integers in the field's unit, e.g. Frequenz in\n"
    "                     0.01 Hz) and send each group touched\n"
    "\n"
    "Options:\n"
    "  --port PATH        use this serial device instead of searching by USB ids\n"
    "  --simulator        use the built-in simulated generator\n"
    "  --verbose          print every frame received on standard error\n"
    "  --help             show this text\n"
    "  --version          show the program version\n"
    "\n"
    "Exit status: 0 success, 1 generator failure, 2 usage error or refused value.\n";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool bridgeChosen = false;
    const auto chooseBridge = [&](BridgeChoice choice) {
        if (bridgeChosen) {
            throw UsageError("--port and --simulator exclude each other");
        }
        bridgeChosen = true;
        line.bridge = choice;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!line.command.empty()) {
            line.arguments.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--verbose") {
            line.verbose = true;
        } else if (arg == "--simulator") {
            chooseBridge(BridgeChoice::kSimulator);
        } else if (arg == "--port") {
            if (i + 1 == args.size()) {
                throw UsageError("--port needs a device path");
            }
            chooseBridge(BridgeChoice::kPort);
            line.portPath = args[++i];
        } else if (arg.starts_with("-")) {
            throw UsageError("unknown option '" + arg + "'");
        } else {
            line.command = arg;
        }
    }
    if (line.command.empty() && !line.help && !line.version) {
        throw UsageError("no command given");
    }
    return line;
}

}  // namespace tavero::ctl
