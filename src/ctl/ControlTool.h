// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

#include "ctl/CommandLine.h"
#include "ctl/GeneratorSession.h"
#include "ctl/RunClock.h"
#include "link/TraceFile.h"
#include "link/UsbBridge.h"
#include "store/FileWriter.h"

namespace tavero::ctl {

/// What the tool's commands work with. The references must outlive the tool.
struct ToolEnvironment {
    link::UsbBridge& bridge;
    std::ostream& out;                  ///< results
    std::ostream& errors;               ///< failures and refusals
    std::ostream& diagnostics;          ///< frames received
    link::TraceFile& trace;             ///< every byte sent is appended to it
    std::filesystem::path profileFile;  ///< the window's; empty when there is no data folder
    store::FileWriter& fileWriter;      ///< saves the profile file
    RunClock& clock;
    /// Reaches a generator that another program of the user holds (the window, a server), or
    /// gives null when none does, for the tool to connect by itself. Failures of the session
    /// go to `errors`.
    std::function<std::unique_ptr<GeneratorSession>(std::ostream& errors)> heldGenerator;
};

/// The commands of `tavero-ctl`.
class ControlTool {
public:
    explicit ControlTool(ToolEnvironment environment);

    /// Runs what the command line asks for and returns the process exit status: 0 success,
    /// 1 generator or file failure (a failed disconnect notice and output that cannot be
    /// written included), 2 refused input, 128 + the signal number when SIGINT, SIGTERM or SIGHUP
    /// stopped a command on the generator.
    int run(const CommandLine& line);

private:
    int read(const CommandLine& line);
    int set(const CommandLine& line);
    int profiles(const CommandLine& line);
    int profile(const CommandLine& line);
    int load(const CommandLine& line);
    int store(const CommandLine& line);
    int play(const CommandLine& line);
    int reset(const CommandLine& line);
    int bootloader(const CommandLine& line);
    int bode(const CommandLine& line);

    int dispatch(const CommandLine& line);
    /// Fails a command whose disconnect failed or whose output could not be written.
    int finish(int status);
    /// The session of a command, not yet open: through the program that holds the generator,
    /// or else a connection of the tool's own. From here on SIGINT, SIGTERM and SIGHUP are caught,
    /// so that an interrupt at any point ends with the disconnect notice.
    std::unique_ptr<GeneratorSession> session();
    /// Whether SIGINT, SIGTERM or SIGHUP has come since the session began: the command then stops
    /// after the exchange under way.
    bool interrupted() const { return env_.clock.interruption() != 0; }
    /// The status of a command that stopped early: 128 + the signal number after an
    /// interrupt, otherwise a failure.
    int stopped() const;

    ToolEnvironment env_;
    bool disconnectFailed_ = false;
};

}  // namespace tavero::ctl
