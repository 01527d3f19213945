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
