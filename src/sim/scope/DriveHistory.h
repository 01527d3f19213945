// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <mutex>

#include "core/GeneratorSettings.h"

namespace tavero::sim {

/// The generator's output as the scope sees it: a sine.
struct Drive {
    double hz = 0;
    double peakToPeakVolts = 0;

    friend bool operator==(const Drive&, const Drive&) = default;
};

/// The drive now and the one it changed from, shared between the generator's thread and the
/// scope's.
class DriveHistory {
public:
    using Clock = std::chrono::steady_clock;

    struct Snapshot {
        Drive now;
        Drive before;
        Clock::time_point changed;  ///< when `before` became `now`
    };

    /// The generator's settings after a command received at `when`; a change of frequency or
    /// amplitude starts the circuit's settling.
    void record(const GeneratorSettings& settings, Clock::time_point when);
    Snapshot snapshot() const;

private:
    mutable std::mutex mutex_;
    Snapshot snapshot_;
};

}  // namespace tavero::sim
