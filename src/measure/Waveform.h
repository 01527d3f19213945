// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace tavero::measure {

/// One channel's trace as read from a scope.
struct Waveform {
    std::vector<double> volts;
    double sampleIntervalSeconds = 0;
    /// Time of the first sample from the trigger, in seconds; both channels of one acquisition
    /// count from the same trigger.
    double startSeconds = 0;
    double voltsPerCode = 0;  ///< the size of one step of the scope's converter
    bool clipped = false;     ///< a sample sat at the converter's end
};

/// Largest minus smallest sample, in volts; 0 for an empty trace.
double peakToPeak(const Waveform& waveform);

}  // namespace tavero::measure
