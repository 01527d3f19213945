// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tavero::measure {

/// Time as a sweep sees it. Tests use one that only pretends to wait.
class SweepClock {
public:
    virtual ~SweepClock() = default;

    /// Time since a moment of the clock's choosing.
    virtual std::chrono::microseconds now() const = 0;
    /// Returns true once now() has reached `deadline`; false when the sweep is to stop at once
    /// instead, leaving the point under way unfinished.
    virtual bool waitUntil(std::chrono::microseconds deadline) = 0;
};

}  // namespace tavero::measure
