// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SendableSettings.h"

#include <algorithm>
#include <string_view>

#include "model/FieldRules.h"
#include "model/OutputFrequency.h"

namespace tavero::model {

namespace {

std::string assignment(std::size_t field, std::int64_t value) {
    return std::string(settingsFields()[field].key) + "=" + std::to_string(value);
}

/// Replaces the field's value by `sent` and notes why.
void replace(GeneratorSettings& settings, std::size_t field, std::int64_t sent,
             Replacement::Reason reason, std::vector<Replacement>& replaced) {
    const SettingsField& f = settingsFields()[field];
    replaced.push_back({field, f.get(settings), sent, reason});
    f.set(settings, sent);
}

}  // namespace

std::vector<Replacement> makeSendable(GeneratorSettings& settings) {
    const GeneratorSettings empty = GeneratorSettings::emptyProfile();
    std::vector<Replacement> replaced;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        if (!fieldRule(i).inRange(settingsFields()[i].get(settings))) {
            replace(settings, i, settingsFields()[i].get(empty), Replacement::Reason::kOutOfRange,
                    replaced);
        }
    }
    const std::size_t frequenz = settingsFieldIndex("Frequenz");
    const std::size_t minimum = settingsFieldIndex("Minimalfrequenz");
    const std::size_t maximum = settingsFieldIndex("Maximalfrequenz");
    // The PLL stage's rules compute these two off the grid.
    const bool pll = usesPllStage(settings);
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const std::int64_t value = settingsFields()[i].get(settings);
        if ((pll && (i == frequenz || i == minimum)) || fieldRule(i).onGrid(value)) {
            continue;
        }
        replace(settings, i, *fieldRule(i).admit(value, GridPolicy::kRound),
                Replacement::Reason::kOffGrid, replaced);
    }
    if (settings.minimalfrequenz > settings.maximalfrequenz) {
        for (const std::size_t limit : {minimum, maximum}) {
            replace(settings, limit, settingsFields()[limit].get(empty),
                    Replacement::Reason::kAboveMaximum, replaced);
        }
    }
    std::stable_sort(replaced.begin(), replaced.end(),
                     [](const Replacement& a, const Replacement& b) { return a.field < b.field; });
    return replaced;
}

std::string replacementText(const Replacement& r) {
    const std::string held = "holds " + assignment(r.field, r.stored);
    switch (r.reason) {
        case Replacement::Reason::kOutOfRange:
            return held + ", which the window refuses; " + assignment(r.field, r.sent) +
                   " of an empty profile is sent instead";
        case Replacement::Reason::kOffGrid:
            return held + ", off the 0.25 Hz grid; " + assignment(r.field, r.sent) +
                   ", the nearest on it, is sent instead";
        case Replacement::Reason::kAboveMaximum:
            return held + " with Minimalfrequenz above Maximalfrequenz; " +
                   assignment(r.field, r.sent) + " of an empty profile is sent instead";
    }
    return held;
}

}  // namespace tavero::model
