// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/Instrument.h"

#include <algorithm>
#include <utility>

#include "ctl/SettingsGroupSender.h"
#include "ctl/UsageError.h"
#include "scpi/AsciiText.h"
#include "scpi/DeviceErrors.h"
#include "scpi/InstrumentCall.h"

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
    : env_(std::move(environment)), scopeHints_(env_.scopeHints) {}

Instrument::~Instrument() = default;

std::optional<ErrorEntry> Instrument::connect() {
    try {
        generator();
    } catch (const ScpiError& error) {
        return error.entry();
    }
    return std::nullopt;
}

std::string Instrument::execute(ErrorQueue& client, std::string_view line) {
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

ctl::GeneratorSession& Instrument::generator() {
    if (session_) {
        return *session_;
    }
    auto session = std::make_unique<ctl::GeneratorSession>(env_.bridge, messages_, env_.diagnostics,
                                                           env_.trace, disconnectFailed_);
    if (!session->open() || !session->readParameters()) {
        session_ = std::move(session);
        failWithMessages(kDeviceNotConnected, true);
    }
    settings_ = session->settings;
    firmwareVersion_ = session->firmwareVersion;
    session_ = std::move(session);
    return *session_;
}

void Instrument::watchGenerator() {
    if (session_ && !session_->watch()) {
        session_.reset();
    }
}

void Instrument::exchanged(bool succeeded) {
    if (!succeeded) {
        failWithMessages(kDeviceOther, true);
    }
}

void Instrument::failWithMessages(int fallbackCode, bool dropConnection) {
    ErrorEntry entry = deviceError(messages_.str(), fallbackCode);
    if (dropConnection) {
        // What the disconnect of a broken link reports adds nothing to the failure itself.
        session_.reset();
    }
    messages_.str({});
    throw ScpiError(entry.code, entry.message);
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
    ctl::GeneratorSession& session = generator();
    GeneratorSettings after = settings_;
    std::string letters;
    try {
        if (checkRanges) {
            std::for_each(assignments.begin(), assignments.end(), ctl::checkAssignment);
        }
        letters = ctl::applyAssignments(after, assignments);
    } catch (const ctl::UsageError& refused) {
        throw ScpiError(kDataOutOfRange, call.header() + ": " + refused.what());
    }
    stopTaskListFor(call.client);
    // Like the window, the record keeps the new values whether or not the generator took them.
    settings_ = after;
    for (const char letter : letters) {
        exchanged(ctl::sendSettingsGroup(session.commands(), letter, settings_));
    }
}

void Instrument::advanceTaskList() {
    if (!run_) {
        return;
    }
    ErrorQueue* owner = runOwner_;
    try {
        while (std::optional<TaskEntry> entry = run_->takeDue(env_.clock.now())) {
            ctl::GeneratorSession& session = generator();
            exchanged(session.commands().SendSettings(entry->profile.settings));
            settings_ = entry->profile.settings;
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
