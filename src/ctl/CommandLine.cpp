// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/CommandLine.h"

#include <cctype>
#include <optional>
#include <span>
#include <string_view>

#include "ctl/CommandTable.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {

namespace {

/// "--json" is an option, "-- leeres Profil --" a profile name and "PLL-Offset=-5" a value.
bool looksLikeOption(std::string_view arg) {
    return arg.size() > 2 && arg.starts_with("--") &&
           std::isalpha(static_cast<unsigned char>(arg[2])) != 0;
}

const CommandInfo& knownCommand(const std::string& name) {
    const CommandInfo* info = findCommand(name);
    if (info == nullptr) {
        throw UsageError("unknown command '" + name + "'");
    }
    return *info;
}

void setFlag(CommandLine& line, unsigned flag) {
    line.json = line.json || flag == kFlagJson;
    line.yes = line.yes || flag == kFlagYes;
    line.announce = line.announce || flag == kFlagAnnounce;
    line.vxi11AlternatePorts = line.vxi11AlternatePorts || flag == kFlagVxi11AlternatePorts;
    if (flag == kFlagLoop || flag == kFlagOnce) {
        const LoopChoice choice = flag == kFlagLoop ? LoopChoice::kAlways : LoopChoice::kOnce;
        if (line.loop != LoopChoice::kAsFile && line.loop != choice) {
            throw UsageError("--loop and --once exclude each other");
        }
        line.loop = choice;
    }
}

/// Takes --trace FILE or --no-trace; `chosen` holds the one taken before, 0 at first.
void chooseTrace(CommandLine& line, unsigned flag, unsigned& chosen,
                 std::span<const std::string> rest, std::size_t& i) {
    if (chosen != 0 && chosen != flag) {
        throw UsageError("--trace and --no-trace exclude each other");
    }
    chosen = flag;
    if (flag == kFlagNoTrace) {
        line.tracePath.clear();
        return;
    }
    if (i + 1 == rest.size() || rest[i + 1].empty()) {
        throw UsageError("--trace needs a file; --no-trace keeps no trace");
    }
    line.tracePath = rest[++i];
}

/// Sorts what follows the command into its options and its arguments; "--" ends the options.
void parseCommandArguments(CommandLine& line, const CommandInfo& info,
                           std::span<const std::string> rest) {
    bool optionsEnded = false;
    unsigned traceChosen = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && looksLikeOption(arg)) {
            const unsigned flag = flagNamed(arg);
            const std::optional<bool> sweepValue = sweepOptionTakesValue(arg);
            if (arg == "--help") {
                line.help = true;
            } else if ((info.flags & kFlagSweep) != 0 && sweepValue) {
                if (*sweepValue && i + 1 == rest.size()) {
                    throw UsageError(arg + " needs a value");
                }
                line.sweepOptions.emplace_back(arg, *sweepValue ? rest[++i] : std::string());
            } else if ((info.flags & flag) == 0) {
                throw UsageError("'" + std::string(info.name) + "' takes no option '" + arg + "'");
            } else if (flag == kFlagListen) {
                if (i + 1 == rest.size()) {
                    throw UsageError("--listen needs HOST:PORT");
                }
                line.listen = rest[++i];
            } else if (flag == kFlagHttp || flag == kFlagHttpPasswordFile) {
                if (i + 1 == rest.size()) {
                    throw UsageError(arg +
                                     (flag == kFlagHttp ? " needs [HOST:]PORT" : " needs FILE"));
                }
                (flag == kFlagHttp ? line.http : line.httpPasswordFile) = rest[++i];
            } else if (flag == kFlagTrace || flag == kFlagNoTrace) {
                chooseTrace(line, flag, traceChosen, rest, i);
            } else {
                setFlag(line, flag);
            }
        } else {
            line.arguments.push_back(arg);
        }
    }
}

void checkArgumentCount(const CommandLine& line, const CommandInfo& info) {
    const std::size_t count = line.arguments.size();
    if (count < info.leastArguments || count > info.mostArguments) {
        throw UsageError("wrong arguments for '" + std::string(info.name) +
                         "'; usage: tavero-ctl " + std::string(info.synopsis));
    }
}

}  // namespace

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
    std::size_t i = 0;
    for (; i < args.size() && line.command.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
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
    if (line.command.empty()) {
        if (!line.help && !line.version) {
            throw UsageError("no command given");
        }
        return line;
    }

    const CommandInfo& info = knownCommand(line.command);
    parseCommandArguments(line, info, std::span<const std::string>(args).subspan(i));
    if (info.name == "help") {
        checkArgumentCount(line, info);
        // "help --help" is about help itself, as "COMMAND --help" is about COMMAND.
        if (!line.arguments.empty()) {
            line.command = knownCommand(line.arguments[0]).name;
        } else if (!line.help) {
            line.command.clear();
        }
        line.help = true;
        line.arguments.clear();
    } else if (!line.help) {
        checkArgumentCount(line, info);
        if (!line.httpPasswordFile.empty() && line.http.empty()) {
            throw UsageError("--http-password-file needs --http");
        }
    }
    return line;
}

}  // namespace tavero::ctl
