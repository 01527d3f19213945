// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ctl/RunClock.h"
#include "measure/SweepClock.h"

namespace tavero::ctl {

/// The tool's clock as a sweep sees it. An interrupt lets the point under way finish: its
/// waits run to their end, and the sweep stops before the next point. Output that hangs up
/// stops the sweep at once.
class RunSweepClock final : public measure::SweepClock {
public:
    explicit RunSweepClock(RunClock& clock) : clock_(clock) {}

    std::chrono::microseconds now() const override { return clock_.now(); }
    bool waitUntil(std::chrono::microseconds deadline) override;

    /// Whether the sweep is to stop before its next point.
    bool stopRequested() const { return clock_.interruption() != 0 || outputGone_; }

private:
    RunClock& clock_;
    bool outputGone_ = false;
};

}  // namespace tavero::ctl
