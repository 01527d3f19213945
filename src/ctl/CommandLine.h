// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "link/TraceFile.h"

namespace tavero::ctl {

/// Which bridge the tool talks through.
enum class BridgeChoice {
    kUsb,        ///< the generator found by its USB ids
    kPort,       ///< an explicitly given serial device
    kSimulator,  ///< the in-process simulated generator
};

/// Whether a task list run starts again after its last entry.
enum class LoopChoice {
    kAsFile,  ///< as the file's "Schleife" says
    kAlways,  ///< --loop
    kOnce,    ///< --once
};

/// What the command line asks for. Arguments and options have been checked against what the
/// command takes, unless help is asked for.
struct CommandLine {
    BridgeChoice bridge = BridgeChoice::kUsb;
    std::string portPath;
    bool verbose = false;  ///< print the frames received on standard error
    bool help = false;     ///< show the help of `command`, or the overview when it is empty
    bool version = false;
    std::string command;
    std::vector<std::string> arguments;
    bool json = false;  ///< --json
    bool yes = false;   ///< --yes
    LoopChoice loop = LoopChoice::kAsFile;
    std::string listen;                ///< --listen HOST:PORT, empty when not given
    std::string http;                  ///< --http [HOST:]PORT, empty when not given
    std::string httpPasswordFile;      ///< --http-password-file FILE, empty when not given
    bool announce = false;             ///< --announce
    bool vxi11AlternatePorts = false;  ///< --vxi11-alternate-ports
    /// A sweep's options as given, each with its value ("" for --linear), in their order.
    std::vector<std::pair<std::string, std::string>> sweepOptions;
    /// Where every byte sent is appended: --trace FILE, empty after --no-trace.
    std::filesystem::path tracePath = link::kDefaultTracePath;
};

/// Parses the arguments after the program name; throws UsageError. `help COMMAND` reads as
/// `COMMAND --help`.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace tavero::ctl
