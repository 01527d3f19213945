// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/FrequencyPlan.h"

#include <algorithm>
#include <cmath>

namespace tavero::measure {

namespace {

std::uint32_t onGrid(double centiHz, std::uint32_t grid, const FrequencyPlan& plan) {
    const double steps = std::round(centiHz / grid);
    const double snapped = std::clamp(steps * grid, static_cast<double>(plan.fromCentiHz),
                                      static_cast<double>(plan.toCentiHz));
    return static_cast<std::uint32_t>(snapped);
}

}  // namespace

std::vector<std::uint32_t> planFrequencies(const FrequencyPlan& plan, std::uint32_t gridCentiHz) {
    const std::uint32_t grid = std::max<std::uint32_t>(gridCentiHz, 1);
    const double from = plan.fromCentiHz;
    const double to = plan.toCentiHz;
    const unsigned points = std::max(plan.points, 1U);
    std::size_t steps = 0;
    if (to > from) {
        // A log plan keeps its density: a span of 2.5 decades at 10 per decade takes 25 steps.
        steps = plan.spacing == PlanSpacing::kLinear
                    ? points - 1
                    : static_cast<std::size_t>(std::ceil(std::log10(to / from) * points - 1e-9));
    }
    std::vector<std::uint32_t> frequencies;
    frequencies.reserve(steps + 1);
    for (std::size_t i = 0; i <= steps; ++i) {
        const double share = steps == 0 ? 0.0 : static_cast<double>(i) / static_cast<double>(steps);
        const double centiHz = plan.spacing == PlanSpacing::kLinear
                                   ? from + (to - from) * share
                                   : from * std::pow(to / from, share);
        frequencies.push_back(onGrid(centiHz, grid, plan));
    }
    frequencies.erase(std::unique(frequencies.begin(), frequencies.end()), frequencies.end());
    return frequencies;
}

}  // namespace tavero::measure
