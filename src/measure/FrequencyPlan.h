// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tavero::measure {

enum class PlanSpacing {
    kLogarithmic,  ///< `points` per decade
    kLinear,       ///< `points` in all, evenly spaced
};

/// Which frequencies a sweep visits.
struct FrequencyPlan {
    std::uint32_t fromCentiHz = 0;  ///< first frequency, in 0.01 Hz
    std::uint32_t toCentiHz = 0;    ///< last frequency, in 0.01 Hz; not below `fromCentiHz`
    PlanSpacing spacing = PlanSpacing::kLogarithmic;
    unsigned points = 0;  ///< per decade (logarithmic) or in all (linear); at least 1
};

/// The frequencies of the plan, in 0.01 Hz: ascending, each rounded to the source's grid, none
/// twice. Both ends are always visited.
/// @param gridCentiHz the step the source can be set in, in 0.01 Hz
std::vector<std::uint32_t> planFrequencies(const FrequencyPlan& plan, std::uint32_t gridCentiHz);

}  // namespace tavero::measure
