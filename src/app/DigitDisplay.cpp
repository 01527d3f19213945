// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DigitDisplay.h"

#include "model/OutputStepping.h"
#include "res/MainWindowIds.h"

namespace tavero::app {

namespace {

/// Digit pictures for `value`, least significant first; positions below `alwaysShown` show
/// their digit even when nothing higher is left.
template <std::size_t N>
std::array<res::Picture, N> digitsOf(std::int64_t value, std::size_t alwaysShown) {
    std::array<res::Picture, N> pictures;
    for (std::size_t position = 0; position < N; ++position) {
        const bool shown = value != 0 || position < alwaysShown;
        pictures[position] =
            shown ? res::Picture::digit(static_cast<int>(value % 10)) : res::Picture::blank();
        value /= 10;
    }
    return pictures;
}

}  // namespace

Scale scaleOf(std::int64_t outputFrequencyCentiHz) {
    return outputFrequencyCentiHz > kHertzScaleLimitCentiHz ? Scale::Kilohertz : Scale::Hertz;
}

std::optional<FrequencyReadout> frequencyReadout(std::int64_t outputFrequencyCentiHz) {
    const std::int64_t value = outputFrequencyCentiHz;
    if (value < 0 || value > kLargestShownFrequencyCentiHz) {
        return std::nullopt;
    }
    const bool kilohertz = scaleOf(value) == Scale::Kilohertz;
    return FrequencyReadout{digitsOf<kFrequencyDigits>(kilohertz ? value / 1000 : value, 3),
                            kilohertz ? "kHz" : "Hz"};
}

std::array<res::Picture, kAmplitudeDigits> amplitudeReadout(std::uint32_t amplitudeMillivolt) {
    if (amplitudeMillivolt >= model::powerOfTen(kAmplitudeDigits)) {
        std::array<res::Picture, kAmplitudeDigits> blank;
        blank.fill(res::Picture::blank());
        return blank;
    }
    return digitsOf<kAmplitudeDigits>(amplitudeMillivolt, 1);
}

std::uint64_t wheelStep(int radioId, Scale scale) {
    if (radioId >= res::kRadioAmplitudeFirst && radioId <= res::kRadioAmplitudeLast) {
        return model::powerOfTen(static_cast<std::size_t>(res::kRadioAmplitudeLast - radioId));
    }
    // 1008 is the 0.1 Hz digit, but the grid is 0.25 Hz.
    const auto decade = static_cast<std::size_t>(res::kRadioFrequencyLast - radioId + 1);
    const std::uint64_t hertzStep =
        radioId == res::kRadioFrequencyLast ? 25 : model::powerOfTen(decade);
    return scale == Scale::Kilohertz ? model::powerOfTen(decade) * 1000 : hertzStep;
}

std::uint64_t frequencyClickStep(std::size_t position, Scale scale) {
    return model::frequencyDigitStep(position, scale == Scale::Kilohertz);
}

std::uint64_t amplitudeClickStep(std::size_t position) {
    return model::powerOfTen(position);
}

}  // namespace tavero::app
