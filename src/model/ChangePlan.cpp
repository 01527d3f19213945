// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ChangePlan.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "core/SettingsLimits.h"
#include "model/FieldRules.h"

namespace tavero::model {

namespace {

// The order in which the groups go to the generator; `a` stands for `a` and `e`.
constexpr std::string_view kCommandOrder = "cfzgsawmto";

}  // namespace

Edit planChange(const GeneratorSettings& current, std::span<const FieldValue> values) {
    GeneratorSettings after = current;
    std::string touched;
    const auto given = [&values](const char* key) {
        const std::size_t field = settingsFieldIndex(key);
        return std::any_of(values.begin(), values.end(),
                           [field](const FieldValue& v) { return v.field == field; });
    };
    for (const FieldValue& v : values) {
        settingsFields()[v.field].set(after, v.value);
        touched += fieldRule(v.field).command;
    }

    const std::uint64_t leastFrequency = pllRequiredMinimum(after);
    if ((given("PLL-Faktor") || given("PLL-Offset")) && leastFrequency > kMaximumFrequencyCentiHz) {
        throw ChangeRefused("the PLL stage would need a Minimalfrequenz above 30 MHz");
    }
    if (after.minimalfrequenz < leastFrequency) {
        if (given("Minimalfrequenz")) {
            throw ChangeRefused("Minimalfrequenz must be at least " +
                                std::to_string(leastFrequency) + " for the PLL stage");
        }
        after.minimalfrequenz = static_cast<std::uint32_t>(leastFrequency);
        touched += 'c';
    }
    if (after.minimalfrequenz > after.maximalfrequenz) {
        throw ChangeRefused("Minimalfrequenz must not lie above Maximalfrequenz");
    }
    if (after.frequenz < after.minimalfrequenz || after.frequenz > after.maximalfrequenz) {
        if (given("Frequenz")) {
            throw ChangeRefused("Frequenz must lie from Minimalfrequenz to Maximalfrequenz");
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
    Edit edit = Edit::fromDraft(current, after, commands);
    // A value given equal to the current one is still a field the change sets.
    for (const FieldValue& v : values) {
        edit.fields.set(v.field);
    }
    return edit;
}

}  // namespace tavero::model
