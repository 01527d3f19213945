// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>

#include "model/FieldRules.h"

namespace tavero::model {
namespace {

TEST(FieldRulesTest, EachPolicyTakesOrRefusesAsItSays) {
    struct Case {
        const char* key;
        std::int64_t value;
        std::optional<std::int64_t> refused;  ///< the window's
        std::optional<std::int64_t> rounded;  ///< the network's
    };
    const Case cases[] = {
        {"Frequenz", 100000, 100000, 100000},
        {"Frequenz", 100012, std::nullopt, 100000},
        {"Frequenz", 100013, std::nullopt, 100025},
        {"Frequenz", 24, std::nullopt, std::nullopt},
        {"Frequenz", 3000000000, 3000000000, 3000000000},
        {"Frequenz", 2999999990, std::nullopt, 3000000000},
        {"Frequenz", 3000000001, std::nullopt, std::nullopt},
        {"Frequenzhub", -100013, std::nullopt, -100025},
        {"Frequenzhub", -100012, std::nullopt, -100000},
        {"Schrittweite", 0, 0, 0},
        {"Amplitude", 1000, 1000, 1000},
        {"Amplitude", 1001, std::nullopt, std::nullopt},
        {"Wobbel-Frequenz", 0, std::nullopt, std::nullopt},
        {"PLL-Faktor", 2048, 2048, 2048},
        {"PLL-Offset", -200000001, std::nullopt, std::nullopt},
        {"Konfiguration", 6, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const FieldRule& rule = fieldRule(c.key);
        EXPECT_EQ(rule.admit(c.value, GridPolicy::kRefuse), c.refused) << c.key << " " << c.value;
        EXPECT_EQ(rule.admit(c.value, GridPolicy::kRound), c.rounded) << c.key << " " << c.value;
    }
}

TEST(FieldRulesTest, EveryFieldOfTheRecordHasItsRuleAndTheEmptyProfileKeepsThem) {
    const GeneratorSettings empty = GeneratorSettings::emptyProfile();
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& field = settingsFields()[i];
        EXPECT_EQ(fieldRule(i).key, field.key);
        EXPECT_TRUE(fieldRule(i).admit(field.get(empty), GridPolicy::kRefuse)) << field.key;
    }
    EXPECT_THROW(fieldRule("Frequency"), std::invalid_argument);
}

}  // namespace
}  // namespace tavero::model
