// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "measure/SweepClock.h"

namespace tavero::measure {

/// Real time from the steady clock, whose waits another thread can cut short: once stop() is
/// called every wait, the one under way included, returns false at once.
class SteadySweepClock final : public SweepClock {
public:
    std::chrono::microseconds now() const override;
    bool waitUntil(std::chrono::microseconds deadline) override;

    /// From any thread.
    void stop();
    bool stopped() const;

private:
    const std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;
    std::condition_variable woken_;
    bool stopped_ = false;
};

}  // namespace tavero::measure
