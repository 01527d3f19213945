// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ScaleSequence.h"

#include <array>
#include <cmath>

namespace tavero::measure {

namespace {

constexpr std::array<double, 3> kMantissas = {1.0, 2.0, 5.0};
/// Values that differ from a step of the sequence by less than this share count as that step,
/// so that a scale read back as 0.19999999 is 0.2.
constexpr double kTolerance = 1e-6;

/// The index of the smallest step not below `value`: decade * 3 + mantissa.
long stepAtLeast(double value) {
    const double decade = std::floor(std::log10(value));
    for (std::size_t i = 0; i < kMantissas.size(); ++i) {
        if (kMantissas[i] * std::pow(10.0, decade) >= value * (1 - kTolerance)) {
            return static_cast<long>(decade) * 3 + static_cast<long>(i);
        }
    }
    return (static_cast<long>(decade) + 1) * 3;
}

double stepValue(long step) {
    const long decade = step >= 0 ? step / 3 : -((-step + 2) / 3);
    const long mantissa = step - decade * 3;
    return kMantissas[static_cast<std::size_t>(mantissa)] *
           std::pow(10.0, static_cast<double>(decade));
}

}  // namespace

double scaleAtLeast(double value) {
    return stepValue(stepAtLeast(value));
}

double nextScaleUp(double scale) {
    return stepValue(stepAtLeast(scale) + 1);
}

double nextScaleDown(double scale) {
    return stepValue(stepAtLeast(scale) - 1);
}

}  // namespace tavero::measure
