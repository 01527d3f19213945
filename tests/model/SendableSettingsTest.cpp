// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/SendableSettings.h"

namespace tavero::model {
namespace {

TEST(SendableSettingsTest, ReplacesWhatTheWindowWouldNeverHaveSet) {
    struct Case {
        const char* what;
        std::function<void(GeneratorSettings&)> edit;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"a sendable profile", [](GeneratorSettings&) {}, {}},
        {"out of range",
         [](GeneratorSettings& s) {
             s.amplitude = 5000;
             s.frequenz = static_cast<std::uint32_t>(-100000);
         },
         {"holds Frequenz=4294867296, which the window refuses; Frequenz=100000 of an empty "
          "profile is sent instead",
          "holds Amplitude=5000, which the window refuses; Amplitude=500 of an empty profile is "
          "sent instead"}},
        {"off the grid",
         [](GeneratorSettings& s) {
             s.frequenz = 100013;
             s.frequenzhub = -12;
         },
         {"holds Frequenz=100013, off the 0.25 Hz grid; Frequenz=100025, the nearest on it, is "
          "sent instead",
          "holds Frequenzhub=-12, off the 0.25 Hz grid; Frequenzhub=0, the nearest on it, is sent "
          "instead"}},
        {"off the grid behind a PLL stage",
         [](GeneratorSettings& s) {
             s.pllFaktor = 3;
             s.frequenz = 33334;
             s.minimalfrequenz = 34;
         },
         {}},
        {"limits crossed",
         [](GeneratorSettings& s) {
             s.minimalfrequenz = 200000;
             s.maximalfrequenz = 100000;
         },
         {"holds Minimalfrequenz=200000 with Minimalfrequenz above Maximalfrequenz; "
          "Minimalfrequenz=25 of an empty profile is sent instead",
          "holds Maximalfrequenz=100000 with Minimalfrequenz above Maximalfrequenz; "
          "Maximalfrequenz=3000000000 of an empty profile is sent instead"}},
    };
    for (const Case& c : cases) {
        GeneratorSettings settings = GeneratorSettings::emptyProfile();
        c.edit(settings);
        std::vector<std::string> warnings;
        GeneratorSettings expected = settings;
        for (const Replacement& r : makeSendable(settings)) {
            warnings.push_back(replacementText(r));
            settingsFields()[r.field].set(expected, r.sent);
        }
        EXPECT_EQ(warnings, c.warnings) << c.what;
        EXPECT_EQ(settings, expected) << c.what;
        GeneratorSettings again = settings;
        EXPECT_TRUE(makeSendable(again).empty()) << c.what;
    }
}

}  // namespace
}  // namespace tavero::model
