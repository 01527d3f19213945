// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tavero::qt {

/// When the ticks of a periodic timer fall due: on a fixed grid counted from its start, tick n
/// at start + n × period. A tick taken late does not move the ticks after it, so delays never
/// add up; grid points passed while it waited merge into that one late tick.
class TickSchedule {
public:
    using Clock = std::chrono::steady_clock;

    TickSchedule(Clock::time_point start, std::chrono::milliseconds period)
        : due_(start + period), period_(period) {}

    Clock::time_point due() const { return due_; }

    /// The tick due has been taken at `now`: the next one is the first grid point after `now`.
    void advancePast(Clock::time_point now) {
        const auto periodsBehind = now < due_ ? 0 : (now - due_) / period_;
        due_ += period_ * (periodsBehind + 1);
    }

    /// The wait from `now` until the tick is due, rounded up to whole milliseconds so that a
    /// timer set to it never fires early; 0 when the tick is due already.
    std::chrono::milliseconds waitFrom(Clock::time_point now) const {
        return due_ <= now ? std::chrono::milliseconds(0)
                           : std::chrono::ceil<std::chrono::milliseconds>(due_ - now);
    }

private:
    Clock::time_point due_;
    std::chrono::milliseconds period_;
};

}  // namespace tavero::qt
