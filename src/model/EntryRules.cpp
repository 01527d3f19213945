// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/EntryRules.h"

#include "core/NumberText.h"
#include "core/SettingsLimits.h"
#include "model/OutputFrequency.h"

namespace tavero::model {

std::string withinLimitsText(std::string_view limits) {
    return "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n" +
           std::string(limits);
}

std::string frequencyRefusalText(std::string_view minimumText, std::string_view maximumText) {
    return withinLimitsText("Auflösung: 0.25 Hz\nMinimalfrequenz: " + std::string(minimumText) +
                            " Hz\nMaximalfrequenz: " + std::string(maximumText) + " Hz");
}

std::string limitText(std::uint32_t frequenz) {
    return formatFixed(static_cast<double>(frequenz) / 100, 2);
}

std::string amplitudeRefusalText() {
    return withinLimitsText("Auflösung: 1 mV\nMinimum: 0 mV\nMaximum: 1000 mV");
}

std::string minimumRefusalText(std::string_view maximumText) {
    return withinLimitsText("Auflösung: 0.25 Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: " +
                            std::string(maximumText) + " Hz");
}

std::string maximumRefusalText(std::string_view minimumText) {
    return withinLimitsText("Auflösung: 0.25 Hz\nMinimalfrequenz: " + std::string(minimumText) +
                            " Hz\nMaximalfrequenz: 30000000.00 Hz");
}

std::string stepRefusalText() {
    return withinLimitsText("Auflösung: 0.25: Hz\nMaximalfrequenz: 30000000.00 Hz");
}

namespace {

/// A typed frequency (Hz) in 0.01 Hz, when it lies on the grid from `least` to `most`.
std::optional<std::uint32_t> frequencyOnGrid(std::string_view typed, std::int64_t least,
                                             std::int64_t most) {
    const std::optional<std::int64_t> value = readScaledNumber(withDecimalPoints(typed), 100.0);
    if (!value || *value % kFrequencyGridCentiHz != 0 || *value < least || *value > most) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

std::optional<std::uint32_t> acceptedMinimum(std::string_view typed,
                                             const GeneratorSettings& settings) {
    // A least frequency above the maximum (PLL values from the generator or a file) cannot be
    // a minimum: taking it would put the minimum above the maximum.
    if (pllRequiredMinimum(settings) > settings.maximalfrequenz) {
        return std::nullopt;
    }
    return frequencyOnGrid(typed, kFrequencyGridCentiHz, settings.maximalfrequenz);
}

std::optional<std::uint32_t> acceptedMaximum(std::string_view typed,
                                             const GeneratorSettings& settings) {
    return frequencyOnGrid(typed, settings.minimalfrequenz, kMaximumFrequencyCentiHz);
}

std::optional<std::uint32_t> acceptedStep(std::string_view typed) {
    return frequencyOnGrid(typed, 0, kMaximumFrequencyCentiHz);
}

std::optional<std::int64_t> acceptedOutputFrequency(std::string_view typed,
                                                    const GeneratorSettings& settings) {
    const std::optional<std::int64_t> value = readScaledNumber(withDecimalPoints(typed), 100.0);
    if (!value || *value < 0 || *value % kFrequencyGridCentiHz != 0 ||
        *value < outputMinimum(settings) || *value > outputMaximum(settings)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> acceptedAmplitude(std::string_view typed) {
    const std::int32_t amplitude = readLeadingInteger(withDecimalPoints(typed));
    // Compared unsigned: a negative amplitude counts as too large.
    if (static_cast<std::uint32_t>(amplitude) > kMaximumAmplitudeMillivolt) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(amplitude);
}

}  // namespace tavero::model
