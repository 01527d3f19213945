// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/Instrument.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ctl/LineSafeText.h"
#include "ctl/ProfileFileAccess.h"
#include "ctl/UsageError.h"
#include "model/ChangePlan.h"
#include "model/SendableSettings.h"
#include "scpi/AsciiText.h"
#include "scpi/DeviceErrors.h"
#include "scpi/InstrumentCall.h"
#include "store/FileUpdateLock.h"
#include "store/ProfileRowText.h"

namespace tavero::scpi {

namespace {

/// A command error leaves the rest of the line unreadable; other errors end only their unit.
bool endsLine(const ScpiError& error) {
    const int code = error.entry().code;
    return code <= -100 && code > -200;
}

std::vector<std::string> withPrefix(const std::vector<std::string>& prefix,
                                    const std::vector<std::string>& nodes) {
    std::vector<std::string> joined = prefix;
    joined.insert(joined.end(), nodes.begin(), nodes.end());
    return joined;
}

}  // namespace

Instrument::Instrument(InstrumentEnvironment environment)
    : env_(std::move(environment)), scopeHints_(env_.log) {}

Instrument::~Instrument() = default;

std::optional<ErrorEntry> Instrument::connect() {
    try {
        origin_ = {model::FrontEnd::kScpi, {}};
        generator();
    } catch (const ScpiError& error) {
        return error.entry();
    }
    return std::nullopt;
}

std::string Instrument::execute(ErrorQueue& client, std::string_view line,
                                const model::Origin& origin) {
    origin_ = origin;
    std::vector<std::string> responses;
    // After ";" a header without a leading ":" continues below the node of the one before.
    std::vector<std::string> relativeTo;
    for (const std::string_view text : splitUnits(line)) {
        try {
            const ProgramUnit unit = parseUnit(text);
            if (unit.nodes.empty()) {
                continue;
            }
            std::vector<std::string> path;
            const Command& command = find(unit, relativeTo, path);
            if (!unit.common) {
                relativeTo.assign(path.begin(), path.end() - 1);
            }
            // Only what this command's own failure writes may reach the queue.
            messages_.str({});
            Call call{unit, path, client, command, {}};
            if (unit.query && !command.answersLimits()) {
                call.noParameters();
            }
            (this->*(unit.query ? command.query : command.set))(call);
            if (unit.query) {
                responses.push_back(std::move(call.response));
            }
        } catch (const ScpiError& error) {
            client.push(error.entry());
            if (endsLine(error)) {
                break;
            }
        }
    }
    if (responses.empty()) {
        return {};
    }
    std::string joined;
    for (const std::string& response : responses) {
        joined += (joined.empty() ? "" : ";") + response;
    }
    return asciiAnswer(joined + '\n');
}

std::optional<std::string> Instrument::tryExecute(ErrorQueue& client, std::string_view line,
                                                  const model::Origin& origin) {
    // Held for the whole line, which then takes it again without waiting.
    std::optional<store::FileUpdateLock> fileLock;
    if (!env_.profileFile.empty() && needsProfileFile(line)) {
        fileLock.emplace(env_.profileFile, store::LockWait::kTry);
        if (fileLock->busy()) {
            return std::nullopt;
        }
    }
    return execute(client, line, origin);
}

bool Instrument::needsProfileFile(std::string_view line) const {
    std::vector<std::string> relativeTo;
    for (const std::string_view text : splitUnits(line)) {
        try {
            const ProgramUnit unit = parseUnit(text);
            if (unit.nodes.empty()) {
                continue;
            }
            std::vector<std::string> path;
            const Command& command = find(unit, relativeTo, path);
            if (!unit.common) {
                relativeTo.assign(path.begin(), path.end() - 1);
            }
            // recall has an overload for the page's structured load.
            constexpr void (Instrument::*recallCommand)(Call&) = &Instrument::recall;
            if (command.set == &Instrument::save || command.set == recallCommand) {
                return true;
            }
        } catch (const ScpiError&) {
            // A header that is not found ends the line before any later command.
            return false;
        }
    }
    return false;
}

const Instrument::Command& Instrument::find(const ProgramUnit& unit,
                                            const std::vector<std::string>& relativeTo,
                                            std::vector<std::string>& path) const {
    const auto lookUp = [&](const std::vector<std::string>& nodes) -> const Command* {
        for (const Command& command : commandTable()) {
            if (command.common == unit.common && command.pattern.matches(nodes)) {
                path = nodes;
                return &command;
            }
        }
        return nullptr;
    };
    const Command* command = nullptr;
    if (!unit.common && !unit.rooted && !relativeTo.empty()) {
        command = lookUp(withPrefix(relativeTo, unit.nodes));
    }
    if (command == nullptr) {
        command = lookUp(unit.nodes);
    }
    if (command == nullptr || (unit.query ? command->query : command->set) == nullptr) {
        throw ScpiError(kUndefinedHeader);
    }
    return *command;
}

void Instrument::generator() {
    if (!env_.generator.ensureConnected(requester())) {
        failWithMessages(kDeviceNotConnected, false);
    }
}

void Instrument::failWithProfileFile(const ctl::ProfileFileAccess& file) {
    if (file.lockBusy()) {
        messages_.str({});
        throw ScpiError(kExecutionError, "another program is saving the profile file");
    }
    failWithMessages(kProfileFileFailed, false);
}

void Instrument::exchanged(bool succeeded) {
    if (!succeeded) {
        failWithMessages(kDeviceOther, env_.generator.policy() == model::ConnectPolicy::kOnDemand);
    }
}

void Instrument::failWithMessages(int fallbackCode, bool dropConnection) {
    ErrorEntry entry = deviceError(messages_.str(), fallbackCode);
    if (dropConnection && env_.generator.connected()) {
        // What the disconnect of a broken link reports adds nothing to the failure itself.
        env_.generator.disconnect(requester());
    }
    messages_.str({});
    throw ScpiError(entry.code, entry.message);
}

void Instrument::send(model::Edit edit) {
    const std::string commands = std::exchange(edit.commands, {});
    for (const char letter : commands) {
        edit.commands = std::string(1, letter);
        exchanged(env_.generator.apply(edit, requester()));
        edit.fields.reset();
    }
}

void Instrument::stopTaskListFor(ErrorQueue& client) {
    if (run_) {
        run_.reset();
        runOwner_ = nullptr;
        client.push({kTaskListStopped, std::string(kTaskListStoppedText)});
    }
}

void Instrument::change(Call& call, const std::vector<ctl::SettingAssignment>& assignments,
                        bool checkRanges) {
    generator();
    model::Edit edit;
    try {
        if (checkRanges) {
            std::for_each(assignments.begin(), assignments.end(), ctl::checkAssignment);
        }
        edit = model::planChange(settings(), assignments);
    } catch (const ctl::UsageError& refused) {
        throw ScpiError(kDataOutOfRange, call.header() + ": " + refused.what());
    } catch (const model::ChangeRefused& refused) {
        throw ScpiError(kDataOutOfRange, call.header() + ": " + refused.what());
    }
    stopTaskListFor(call.client);
    // Like the window, the record keeps the new values whether or not the generator took them.
    send(std::move(edit));
}

template <typename Action>
std::optional<ErrorEntry> Instrument::actFor(const model::Origin& origin, Action action) {
    origin_ = origin;
    messages_.str({});
    try {
        action();
    } catch (const ScpiError& error) {
        return error.entry();
    }
    return std::nullopt;
}

std::optional<ErrorEntry> Instrument::apply(ErrorQueue& client, model::Edit edit,
                                            const model::Origin& origin) {
    return actFor(origin, [&] {
        generator();
        stopTaskListFor(client);
        send(std::move(edit));
    });
}

std::optional<ErrorEntry> Instrument::recall(ErrorQueue& client, std::size_t number,
                                             const model::Origin& origin) {
    return actFor(origin, [&] {
        ctl::ProfileFileAccess file(env_.profileFile, env_.fileWriter, messages_);
        const std::optional<std::vector<StoredProfile>> profiles = file.read();
        if (!profiles) {
            failWithMessages(kProfileFileFailed, false);
        }
        if (number < 1 || number > profiles->size()) {
            throw ScpiError(kDataOutOfRange, "no profile " + std::to_string(number));
        }
        sendProfile(client, (*profiles)[number - 1].settings);
    });
}

void Instrument::sendProfile(ErrorQueue& client, GeneratorSettings recalled) {
    // What the window refuses is not sent as the file holds it.
    model::makeSendable(recalled);
    generator();
    stopTaskListFor(client);
    // As the window's profile load: the record changes only when the generator took it.
    model::Edit edit = model::Edit::whole(recalled);
    edit.restoreOnFailure = true;
    exchanged(env_.generator.apply(edit, requester()));
}

std::optional<ErrorEntry> Instrument::play(ErrorQueue& client, std::vector<TaskEntry> entries,
                                           bool loop, const model::Origin& origin) {
    return actFor(origin, [&] {
        if (entries.empty()) {
            throw ScpiError(kSettingsConflict, "no task list is loaded");
        }
        generator();
        startRun(client, std::move(entries), loop);
    });
}

void Instrument::startRun(ErrorQueue& client, std::vector<TaskEntry> entries, bool loop) {
    stopTaskListFor(client);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (const model::Replacement& replaced :
             model::makeSendable(entries[i].profile.settings)) {
            const std::string warning =
                "task list entry " +
                store::profileRowText(i, ctl::lineSafeText(entries[i].profile.name)) + " " +
                model::replacementText(replaced);
            env_.log << "tavero-ctl: warning: " << warning << std::endl;
            client.push({kValueReplaced, warning});
        }
    }
    run_.emplace(std::move(entries), loop, env_.clock.now());
    runOwner_ = &client;
    advanceTaskList();
}

void Instrument::stopPlaying() {
    run_.reset();
    runOwner_ = nullptr;
}

std::optional<Instrument::TaskListProgress> Instrument::taskListProgress() const {
    if (!run_) {
        return std::nullopt;
    }
    return TaskListProgress{run_->step(), run_->size(), run_->loops(), run_->passEnd()};
}

void Instrument::advanceTaskList() {
    if (!run_) {
        return;
    }
    ErrorQueue* owner = runOwner_;
    try {
        origin_ = {model::FrontEnd::kTaskList, "SCPI"};
        while (std::optional<TaskEntry> entry = run_->takeDue(env_.clock.now())) {
            generator();
            model::Edit step = model::Edit::whole(entry->profile.settings);
            step.restoreOnFailure = true;
            exchanged(env_.generator.apply(step, requester()));
        }
        if (run_->finished()) {
            run_.reset();
            runOwner_ = nullptr;
        }
    } catch (const ScpiError& error) {
        run_.reset();
        runOwner_ = nullptr;
        if (owner != nullptr) {
            owner->push(error.entry());
        }
    }
}

std::optional<std::chrono::milliseconds> Instrument::taskListDue() const {
    if (!run_) {
        return std::nullopt;
    }
    return run_->nextDue();
}

void Instrument::forget(const ErrorQueue& client) {
    if (runOwner_ == &client) {
        runOwner_ = nullptr;
    }
}

}  // namespace tavero::scpi
