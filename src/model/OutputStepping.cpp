// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/OutputStepping.h"

#include <algorithm>

#include "core/SettingsLimits.h"
#include "model/OutputFrequency.h"

namespace tavero::model {

std::uint64_t powerOfTen(std::size_t exponent) {
    std::uint64_t value = 1;
    while (exponent-- > 0) {
        value *= 10;
    }
    return value;
}

std::uint64_t frequencyDigitStep(std::size_t position, bool kilohertzShown) {
    if (kilohertzShown) {
        return (position < 2 ? 10 : powerOfTen(position)) * 1000;
    }
    return position < 2 ? kFrequencyGridCentiHz : powerOfTen(position);
}

std::optional<std::int64_t> steppedOutputFrequency(const GeneratorSettings& settings,
                                                   std::int64_t output, std::uint64_t step,
                                                   bool raise) {
    // Steps stay far below 2^63 and the limits far inside it, so nothing here overflows.
    const auto signedStep = static_cast<std::int64_t>(step);
    if (raise) {
        const std::int64_t maximum = outputMaximum(settings);
        if (output > maximum || signedStep > maximum - output) {
            return std::nullopt;
        }
        return output + signedStep;
    }
    // A minimum below zero (a negative PLL offset with a low Minimalfrequenz) is no frequency
    // the generator can put out.
    const std::int64_t minimum = std::max<std::int64_t>(outputMinimum(settings), 0);
    if (output < minimum || output - minimum < signedStep) {
        return std::nullopt;
    }
    return output - signedStep;
}

std::optional<std::uint32_t> steppedAmplitude(std::uint32_t amplitude, std::uint64_t step,
                                              bool raise) {
    if (raise && amplitude + step <= kMaximumAmplitudeMillivolt) {
        return static_cast<std::uint32_t>(amplitude + step);
    }
    if (!raise && amplitude >= step) {
        return static_cast<std::uint32_t>(amplitude - step);
    }
    return std::nullopt;
}

}  // namespace tavero::model
