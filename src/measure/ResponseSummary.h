// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "measure/ResponsePoint.h"

namespace tavero::measure {

/// The response at a frequency between measured points.
struct ResponseReading {
    double frequencyHz = 0;
    double magnitudeDb = 0;
    double phaseDeg = 0;  ///< in (-180, 180]
};

/// The response at `frequencyHz`, interpolated between the two points with a value around it,
/// linearly over the logarithm of the frequency (the unwrapped phase likewise). Empty outside
/// the measured span.
std::optional<ResponseReading> responseAt(const std::vector<ResponsePoint>& points,
                                          double frequencyHz);

/// What a sweep's curve says about the circuit.
struct ResponseSummary {
    std::optional<ResponseReading> peak;  ///< the point of the highest magnitude
    /// Where the magnitude crosses the peak's level less the drop, lowest first.
    std::vector<ResponseReading> corners;
    /// The centre of a band around the peak: the geometric mean of the corners next to it on
    /// either side (for a second-order band-pass exactly its resonance).
    std::optional<double> centreHz;
};

/// The drop of the half-power point, 10 log10(2) dB: what "-3 dB" stands for.
inline constexpr double kHalfPowerDb = 3.0102999566398120;

/// Summarises the points with a value, which are in ascending frequency.
ResponseSummary summarize(const std::vector<ResponsePoint>& points, double dropDb = kHalfPowerDb);

}  // namespace tavero::measure
