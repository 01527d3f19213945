// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ScpiScope.h"

#include <utility>

namespace tavero::scope {

namespace {

using measure::ScopeError;

/// Between questions whether the acquisition has ended.
constexpr std::chrono::microseconds kPollInterval{2000};
/// Beyond twice the screen's time an acquisition may take to trigger and end.
constexpr std::chrono::microseconds kAcquisitionSlack{3'000'000};

}  // namespace

ScpiScope::ScpiScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits)
    : transport_(std::move(transport)), port_(*transport_), limits_(limits) {}

void ScpiScope::keep(const std::string& query, const std::string& restorePrefix) {
    restoreCommands_.push_back(restorePrefix + port_.query(query));
}

void ScpiScope::restore() {
    for (auto command = restoreCommands_.rbegin(); command != restoreCommands_.rend(); ++command) {
        port_.write(*command);
    }
    restoreCommands_.clear();
    port_.write(runCommand());
}

bool ScpiScope::waitForAcquisition(measure::SweepClock& clock, std::chrono::microseconds screenTime,
                                   const std::function<bool()>& done) {
    const auto deadline = clock.now() + 2 * screenTime + kAcquisitionSlack;
    if (!clock.waitUntil(clock.now() + screenTime)) {
        return false;
    }
    while (!done()) {
        if (clock.now() > deadline) {
            throw ScopeError(ScopeError::Kind::kTimeout, "the acquisition did not end");
        }
        if (!clock.waitUntil(clock.now() + kPollInterval)) {
            return false;
        }
    }
    return true;
}

std::string withChannel(std::string_view pattern, int channel) {
    std::string text(pattern);
    const std::size_t at = text.find("%d");
    if (at != std::string::npos) {
        text.replace(at, 2, std::to_string(channel));
    }
    return text;
}

}  // namespace tavero::scope
