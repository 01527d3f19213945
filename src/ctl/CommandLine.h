#pragma once

#include <string>
#include <vector>

namespace tavero::ctl {

/// Which bridge the tool talks through.
enum class BridgeChoice {
    kUsb,        ///< the generator found by its USB ids
    kPort,       ///< an explicitly given serial device
    kSimulator,  ///< the in-process simulated generator
};

/// What the command line asks for.
struct CommandLine {
    BridgeChoice bridge = BridgeChoice::kUsb;
    std::string portPath;
    bool verbose = false;  ///< print the frames received on standard error
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> arguments;
};

/// Parses the arguments after the program name; throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

/// The text of `--help`.
extern const char* const kUsageText;

}  // namespace tavero::ctl
