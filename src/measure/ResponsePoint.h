// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavero::measure {

/// Why a point of a sweep has no value.
enum class Exclusion {
    kNone,                    ///< the point has a value
    kClipped,                 ///< clipped even after ranging
    kBelowResolution,         ///< too small even at the finest scale
    kInvalidMeasurement,      ///< the scope had nothing to measure (9.9E37 and the like)
    kTooFewSamplesPerPeriod,  ///< the scope's sampling cannot hold the frequency
    kScopeTimeout,            ///< the scope did not answer in time
};

/// The reason as the output names it: "ok", "clipped", "below-resolution",
/// "invalid-measurement", "too-few-samples-per-period", "scope-timeout".
std::string_view exclusionName(Exclusion exclusion);

/// One frequency of a sweep.
struct ResponsePoint {
    std::uint32_t frequencyCentiHz = 0;  ///< in 0.01 Hz
    Exclusion exclusion = Exclusion::kNone;
    double magnitudeDb = 0;  ///< output over input, in dB
    double phaseDeg = 0;     ///< output against input, in degrees, in (-180, 180]
    /// The phase continued across the sweep from the points before, in degrees.
    double unwrappedPhaseDeg = 0;

    bool ok() const { return exclusion == Exclusion::kNone; }
    double frequencyHz() const { return frequencyCentiHz / 100.0; }
};

/// `degrees` brought into (-180, 180].
double wrapPhase(double degrees);

/// `phaseDeg` continued from the unwrapped phase of the point with a value before it: the turn of
/// 360 degrees nearest to it. The first point keeps its phase.
double continuePhase(std::optional<double> previousUnwrappedDeg, double phaseDeg);

}  // namespace tavero::measure
