// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/TaskListPlayer.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "ctl/LineSafeText.h"
#include "model/Edit.h"
#include "store/ProfileRowText.h"

namespace tavero::ctl {

namespace {

/// The window holds an entry of 0 s, or a negative one from a file, for one tick, like 1 s.
std::chrono::seconds holdTime(const TaskEntry& entry) {
    return std::chrono::seconds(
        std::max<std::int32_t>(static_cast<std::int32_t>(entry.duration), 1));
}

}  // namespace

TaskListPlayer::TaskListPlayer(GeneratorSession& generator, RunClock& clock, std::ostream& out)
    : generator_(generator), clock_(clock), out_(out) {}

PlayEnd TaskListPlayer::play(std::span<const TaskEntry> entries, bool loop) {
    // A wait ends early for an interrupt or for an output that has hung up.
    const auto stoppedWaiting = [this] {
        const int signal = clock_.interruption();
        return signal != 0 ? PlayEnd{PlayEnd::Reason::kInterrupted, signal}
                           : PlayEnd{PlayEnd::Reason::kOutputFailed, 0};
    };
    // Every step falls due a whole number of seconds after the start, whatever the exchanges
    // before it took.
    std::chrono::milliseconds due = clock_.now();
    std::size_t index = 0;
    for (;;) {
        if (!clock_.waitUntil(due)) {
            return stoppedWaiting();
        }
        const TaskEntry& entry = entries[index];
        if (!generator_.apply(model::Edit::whole(entry.profile.settings))) {
            return {PlayEnd::Reason::kSendFailed, 0, index};
        }
        if (!clock_.waitForOutput()) {
            return stoppedWaiting();
        }
        out_ << store::profileRowText(index, lineSafeText(entry.profile.name))
             << ", Dauer: " << holdTime(entry).count() << " s" << std::endl;
        if (!out_) {
            return {PlayEnd::Reason::kOutputFailed, 0};
        }
        due += holdTime(entry);
        if (++index == entries.size()) {
            if (!loop) {
                return clock_.waitUntil(due) ? PlayEnd{} : stoppedWaiting();
            }
            index = 0;
        }
    }
}

}  // namespace tavero::ctl
