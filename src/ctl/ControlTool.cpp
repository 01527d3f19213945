// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ControlTool.h"

#include <array>
#include <chrono>
#include <string_view>
#include <utility>

#include "core/BuildConfig.h"
#include "ctl/CommandTable.h"
#include "ctl/OwnGeneratorSession.h"
#include "ctl/SettingAssignments.h"
#include "ctl/SettingsOutput.h"
#include "ctl/UsageError.h"
#include "model/ChangePlan.h"

namespace tavero::ctl {

namespace {

/// The generator needs this long after a factory reset before it answers again.
constexpr std::chrono::milliseconds kFactoryResetPause{1000};

}  // namespace

ControlTool::ControlTool(ToolEnvironment environment) : env_(std::move(environment)) {}

std::unique_ptr<GeneratorSession> ControlTool::session() {
    env_.clock.catchInterrupts();
    if (env_.heldGenerator) {
        if (std::unique_ptr<GeneratorSession> held = env_.heldGenerator(env_.errors)) {
            return held;
        }
    }
    return std::make_unique<OwnGeneratorSession>(env_.bridge, env_.errors, env_.diagnostics,
                                                 env_.trace, disconnectFailed_);
}

int ControlTool::stopped() const {
    return interrupted() ? kExitInterrupted + env_.clock.interruption() : kExitFailure;
}

int ControlTool::run(const CommandLine& line) {
    if (line.version) {
        env_.out << "tavero-ctl " << kProgramVersion << '\n';
        return finish(kExitSuccess);
    }
    if (line.help) {
        const CommandInfo* command = findCommand(line.command);
        env_.out << (command == nullptr ? overviewHelpText() : commandHelpText(*command));
        return finish(kExitSuccess);
    }
    try {
        return finish(dispatch(line));
    } catch (const UsageError& e) {
        env_.errors << "tavero-ctl: " << e.what() << '\n';
        return kExitUsage;
    }
}

int ControlTool::finish(int status) {
    // Buffered output fails only when flushed: a full disk must not pass for success.
    env_.out.flush();
    if (!env_.out) {
        env_.errors << "tavero-ctl: cannot write to standard output\n";
    }
    if (status == kExitSuccess && (disconnectFailed_ || !env_.out)) {
        return kExitFailure;
    }
    return status;
}

int ControlTool::dispatch(const CommandLine& line) {
    struct Route {
        std::string_view command;
        int (ControlTool::*handler)(const CommandLine&);
    };
    static constexpr std::array<Route, 10> kRoutes = {{
        {"read", &ControlTool::read},
        {"set", &ControlTool::set},
        {"profiles", &ControlTool::profiles},
        {"profile", &ControlTool::profile},
        {"load", &ControlTool::load},
        {"store", &ControlTool::store},
        {"play", &ControlTool::play},
        {"reset", &ControlTool::reset},
        {"bootloader", &ControlTool::bootloader},
        {"bode", &ControlTool::bode},
    }};
    for (const Route& route : kRoutes) {
        if (route.command == line.command) {
            return (this->*route.handler)(line);
        }
    }
    throw UsageError("unknown command '" + line.command + "'");
}

int ControlTool::read(const CommandLine& line) {
    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->readParameters() || interrupted()) {
        return stopped();
    }
    printGeneratorState(env_.out, generator->firmwareVersion(), generator->settings(), line.json);
    return kExitSuccess;
}

int ControlTool::set(const CommandLine& line) {
    // Everything the tool can judge alone is refused before the generator hears anything.
    const std::vector<SettingAssignment> assignments = parseAssignments(line.arguments);

    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->readParameters()) {
        return stopped();
    }
    model::Edit edit;
    try {
        edit = model::planChange(generator->settings(), assignments);
    } catch (const model::ChangeRefused& refused) {
        throw UsageError(refused.what());
    }
    // One command at a time: the first failure or an interrupt stops the rest.
    const std::string commands = std::exchange(edit.commands, {});
    for (const char letter : commands) {
        edit.commands = std::string(1, letter);
        if (interrupted() || !generator->apply(edit)) {
            return stopped();
        }
        edit.fields.reset();
    }
    return interrupted() ? stopped() : kExitSuccess;
}

int ControlTool::reset(const CommandLine& line) {
    if (!line.yes) {
        throw UsageError(
            "reset replaces the generator's settings with its factory settings; "
            "give --yes to go ahead");
    }
    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->sendFactoryReset() ||
        !env_.clock.waitUntil(env_.clock.now() + kFactoryResetPause) ||
        !generator->readParameters() || interrupted()) {
        return stopped();
    }
    printGeneratorState(env_.out, generator->firmwareVersion(), generator->settings(), line.json);
    return kExitSuccess;
}

int ControlTool::bootloader(const CommandLine& line) {
    if (!line.yes) {
        throw UsageError(
            "bootloader stops the generator's firmware until it is plugged in "
            "again; give --yes to go ahead");
    }
    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->startBootloader()) {
        return stopped();
    }
    return kExitSuccess;
}

}  // namespace tavero::ctl
