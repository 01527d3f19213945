// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/SettingAssignments.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "core/SettingsLimits.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {

namespace {

/// The range the window allows for each field, in the field's unit, in record order.
struct FieldRule {
    std::string_view key;
    char command;
    std::int64_t min;
    std::int64_t max;
    bool onGrid;  ///< a multiple of 25 (0.25 Hz)
};

constexpr std::int64_t kMaxFrequency = kMaximumFrequencyCentiHz;

// Modulationseinstellungen: bits 0-1 free, bits 2-3 one of 0, 4, 8 -> exactly 0..11.
// Konfiguration: bit 0 free, bits 1-2 one of 0, 2, 4 -> exactly 0..5.
constexpr std::array<FieldRule, kSettingsFieldCount> kRules = {{
    {"Frequenz", 'f', 25, kMaxFrequency, true},
    {"Minimalfrequenz", 'c', 25, kMaxFrequency, true},
    {"Maximalfrequenz", 'c', 25, kMaxFrequency, true},
    {"Schrittweite", 'z', 0, kMaxFrequency, true},
    {"Amplitude", 'g', 0, kMaximumAmplitudeMillivolt, false},
    {"Wobbel-Startfrequenz", 'w', 25, kMaxFrequency, true},
    {"Wobbel-Stoppfrequenz", 'w', 25, kMaxFrequency, true},
    {"Wobbel-Frequenz", 'w', 1, 200, false},
    {"Signalform", 's', 0, 3, false},
    {"Modulationseinstellungen", 'm', 0, 11, false},
    {"Frequenzhub", 'm', -kMaxFrequency, kMaxFrequency, true},
    {"Phasenhub", 'm', 1, 359, false},
    {"Amplitudenhub", 'm', 0, 100, false},
    {"Modulationsfrequenz", 'm', 10, 50000, false},
    {"Konfiguration", 'a', 0, 5, false},
    {"PLL-Faktor", 't', 1, 2048, false},
    {"PLL-Offset", 'o', -200000000, 200000000, false},
}};

// The order in which the groups go to the generator; `a` stands for `a` and `e`.
constexpr std::string_view kCommandOrder = "cfzgsawmto";

std::string describe(const FieldRule& rule) {
    std::string text = std::to_string(rule.min) + " to " + std::to_string(rule.max);
    return rule.onGrid ? "a multiple of 25 from " + text : text;
}

}  // namespace

SettingAssignment parseAssignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("expected KEY=VALUE, got '" + std::string(text) + "'");
    }
    const std::string_view key = text.substr(0, equals);
    const std::string_view number = text.substr(equals + 1);
    const std::size_t field = settingsFieldIndex(key);
    if (field == kSettingsFieldCount) {
        throw UsageError("unknown key '" + std::string(key) + "'");
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        throw UsageError("'" + std::string(number) + "' is not a whole number for " +
                         std::string(key));
    }
    checkAssignment({field, value});
    return {field, value};
}

FieldRange fieldRange(std::size_t field) {
    return {kRules[field].min, kRules[field].max, kRules[field].onGrid};
}

std::vector<std::size_t> replaceRefusedFields(GeneratorSettings& settings) {
    const GeneratorSettings empty = GeneratorSettings::emptyProfile();
    std::vector<std::size_t> replaced;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& field = settingsFields()[i];
        const std::int64_t value = field.get(settings);
        if (value < kRules[i].min || value > kRules[i].max) {
            field.set(settings, field.get(empty));
            replaced.push_back(i);
        }
    }
    return replaced;
}

void checkAssignment(const SettingAssignment& assignment) {
    const FieldRule& rule = kRules[assignment.field];
    const std::int64_t value = assignment.value;
    if (value < rule.min || value > rule.max ||
        (rule.onGrid && value % kFrequencyGridCentiHz != 0)) {
        throw UsageError(std::string(rule.key) + "=" + std::to_string(value) +
                         " is refused: allowed is " + describe(rule));
    }
}

std::vector<SettingAssignment> parseAssignments(const std::vector<std::string>& texts) {
    if (texts.empty()) {
        throw UsageError("expected at least one KEY=VALUE");
    }
    std::vector<SettingAssignment> assignments;
    for (const std::string& text : texts) {
        const SettingAssignment parsed = parseAssignment(text);
        if (std::any_of(
                assignments.begin(), assignments.end(),
                [&parsed](const SettingAssignment& a) { return a.field == parsed.field; })) {
            throw UsageError(std::string(kRules[parsed.field].key) + " is given more than once");
        }
        assignments.push_back(parsed);
    }
    return assignments;
}

std::string applyAssignments(GeneratorSettings& settings,
                             const std::vector<SettingAssignment>& assignments) {
    GeneratorSettings after = settings;
    std::string touched;
    const auto given = [&assignments](const char* key) {
        const std::size_t field = settingsFieldIndex(key);
        return std::any_of(assignments.begin(), assignments.end(),
                           [field](const SettingAssignment& a) { return a.field == field; });
    };
    for (const SettingAssignment& a : assignments) {
        settingsFields()[a.field].set(after, a.value);
        touched += kRules[a.field].command;
    }

    const std::uint64_t leastFrequency = pllRequiredMinimum(after);
    if ((given("PLL-Faktor") || given("PLL-Offset")) && leastFrequency > kMaximumFrequencyCentiHz) {
        throw UsageError("the PLL stage would need a Minimalfrequenz above 30 MHz");
    }
    if (after.minimalfrequenz < leastFrequency) {
        if (given("Minimalfrequenz")) {
            throw UsageError("Minimalfrequenz must be at least " + std::to_string(leastFrequency) +
                             " for the PLL stage");
        }
        after.minimalfrequenz = static_cast<std::uint32_t>(leastFrequency);
        touched += 'c';
    }
    if (after.minimalfrequenz > after.maximalfrequenz) {
        throw UsageError("Minimalfrequenz must not lie above Maximalfrequenz");
    }
    if (after.frequenz < after.minimalfrequenz || after.frequenz > after.maximalfrequenz) {
        if (given("Frequenz")) {
            throw UsageError("Frequenz must lie from Minimalfrequenz to Maximalfrequenz");
        }
        after.frequenz = std::clamp(after.frequenz, after.minimalfrequenz, after.maximalfrequenz);
        touched += 'f';
    }

    std::string commands;
    for (const char command : kCommandOrder) {
        if (touched.find(command) != std::string::npos) {
            commands += command;
            if (command == 'a') {
                commands += 'e';
            }
        }
    }
    settings = after;
    return commands;
}

}  // namespace tavero::ctl
