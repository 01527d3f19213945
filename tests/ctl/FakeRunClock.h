// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

#include "ctl/RunClock.h"

namespace tavero::ctl {

/// A clock whose waits take no time: each moves its time on to the deadline at once. Interrupts
/// are scripted, and arrive only once the clock catches them.
class FakeRunClock final : public RunClock {
public:
    std::chrono::milliseconds now() const override { return now_; }

    bool waitUntil(std::chrono::milliseconds deadline) override {
        if (interruption_ != 0) {
            return false;
        }
        if (interruptAt_ && *interruptAt_ <= deadline) {
            now_ = std::max(now_, *interruptAt_);
            interruptAt_.reset();
            interruption_ = catching_ ? pendingSignal_ : 0;
            if (interruption_ != 0) {
                return false;
            }
        }
        now_ = std::max(now_, deadline);
        return true;
    }

    /// The output always has room.
    bool waitForOutput() override { return true; }
    void catchInterrupts() override { catching_ = true; }
    int interruption() const override { return interruption_; }

    /// `signal` arrives at `at`, during the wait that reaches that time.
    void interruptAt(std::chrono::milliseconds at, int signal) {
        interruptAt_ = at;
        pendingSignal_ = signal;
    }
    /// `signal` arrives now, e.g. while an exchange is under way.
    void interruptNow(int signal) {
        if (catching_) {
            interruption_ = signal;
        }
    }

    /// The time as the simulated generator stamps what it receives.
    std::chrono::steady_clock::time_point timePoint() const {
        return std::chrono::steady_clock::time_point(now_);
    }

private:
    std::chrono::milliseconds now_{0};
    std::optional<std::chrono::milliseconds> interruptAt_;
    int pendingSignal_ = 0;
    int interruption_ = 0;
    bool catching_ = false;
};

}  // namespace tavero::ctl
