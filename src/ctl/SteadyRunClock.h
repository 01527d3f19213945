// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "ctl/RunClock.h"

namespace tavero::ctl {

/// Real time from the steady clock. Signal handling is the process's: at most one clock may
/// catch interrupts at a time, and it gives them back to their default when destroyed.
class SteadyRunClock final : public RunClock {
public:
    SteadyRunClock();
    ~SteadyRunClock() override;

    SteadyRunClock(const SteadyRunClock&) = delete;
    SteadyRunClock& operator=(const SteadyRunClock&) = delete;

    std::chrono::milliseconds now() const override;
    bool waitUntil(std::chrono::milliseconds deadline) override;
    void catchInterrupts() override;
    int interruption() const override;

private:
    std::chrono::steady_clock::time_point origin_;
    bool catching_ = false;
};

}  // namespace tavero::ctl
