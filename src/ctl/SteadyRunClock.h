// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "ctl/RunClock.h"

namespace tavero::ctl {

/// Real time from the steady clock. Signal handling is the process's: at most one clock may
/// catch interrupts at a time, and it gives them back to their default when destroyed.
class SteadyRunClock final : public RunClock {
public:
    /// @param watchedOutput the descriptor results are written to; -1 watches none
    explicit SteadyRunClock(int watchedOutput = -1);
    ~SteadyRunClock() override;

    SteadyRunClock(const SteadyRunClock&) = delete;
    SteadyRunClock& operator=(const SteadyRunClock&) = delete;

    std::chrono::milliseconds now() const override;
    bool waitUntil(std::chrono::milliseconds deadline) override;
    bool waitForOutput() override;
    void catchInterrupts() override;
    int interruption() const override;

private:
    /// Waits for an interrupt, a hang-up of the output or (with `forOutput`) room in it, until
    /// `due` at the latest. True when the wait ended for room or at `due`.
    bool wait(std::chrono::steady_clock::time_point due, bool forOutput) const;

    std::chrono::steady_clock::time_point origin_;
    int watchedOutput_;
    bool catching_ = false;
};

}  // namespace tavero::ctl
