// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavero::ctl {

/// Options that follow a command, as bits of CommandInfo::flags.
enum CommandFlag : unsigned {
    kFlagJson = 1U << 0,                 ///< --json
    kFlagYes = 1U << 1,                  ///< --yes
    kFlagLoop = 1U << 2,                 ///< --loop
    kFlagOnce = 1U << 3,                 ///< --once
    kFlagListen = 1U << 4,               ///< --listen HOST:PORT
    kFlagTrace = 1U << 5,                ///< --trace FILE
    kFlagNoTrace = 1U << 6,              ///< --no-trace
    kFlagAnnounce = 1U << 7,             ///< --announce
    kFlagVxi11AlternatePorts = 1U << 8,  ///< --vxi11-alternate-ports
    kFlagHttp = 1U << 9,                 ///< --http [HOST:]PORT
    kFlagHttpPasswordFile = 1U << 10,    ///< --http-password-file FILE
    kFlagSweep = 1U << 11,               ///< the options of a frequency response sweep
};

/// One command of the tool: what it takes and how its help reads.
struct CommandInfo {
    std::string_view name;
    std::size_t leastArguments;
    std::size_t mostArguments;
    unsigned flags;             ///< the CommandFlag options it takes
    std::string_view synopsis;  ///< what follows the program's options, e.g. "profile N [--json]"
    std::string_view summary;   ///< one line for the overview
    std::string_view details;   ///< the paragraphs of its own help text
};

/// Every command, in the order the overview lists them.
std::span<const CommandInfo> allCommands();

/// The command of this name, or null.
const CommandInfo* findCommand(std::string_view name);

/// The flag an option text names, or 0 when none does.
unsigned flagNamed(std::string_view option);

/// Whether `option` is one of a sweep's options (--scope, --from, ...) and takes a value;
/// nothing when it is none of them.
std::optional<bool> sweepOptionTakesValue(std::string_view option);

/// The text of `tavero-ctl --help`.
std::string overviewHelpText();

/// The text of `tavero-ctl help COMMAND`.
std::string commandHelpText(const CommandInfo& command);

}  // namespace tavero::ctl
