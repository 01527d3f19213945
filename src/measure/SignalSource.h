// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tavero::measure {

/// The frequencies a source can be set to, in 0.01 Hz.
struct FrequencyRange {
    std::uint32_t minimumCentiHz = 0;
    std::uint32_t maximumCentiHz = 0;
    std::uint32_t gridCentiHz = 1;  ///< every frequency is a multiple of it
};

/// The generator as a sweep drives it. Each call runs one or more exchanges with the generator
/// and returns false after the source has reported the failure in its own way.
class SignalSource {
public:
    virtual ~SignalSource() = default;

    virtual FrequencyRange range() const = 0;
    /// Readies a steady sine of `amplitudeMillivolt` (peak-to-peak) and remembers every setting
    /// it changes.
    virtual bool start(std::uint32_t amplitudeMillivolt) = 0;
    /// Sets the output frequency, in 0.01 Hz on the grid of range().
    virtual bool setFrequency(std::uint32_t frequencyCentiHz) = 0;
    /// Puts back every setting that start and setFrequency changed.
    virtual bool restore() = 0;
};

}  // namespace tavero::measure
