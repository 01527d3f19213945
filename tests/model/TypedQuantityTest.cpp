// SPDX-License-Identifier: GPL-3.0-or-later
// Typed values are taken only when the whole text is one number with a unit its field takes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "model/TypedQuantity.h"

namespace tavero::model {
namespace {

TEST(TypedQuantityTest, TakesOnlyAWholeNumberWithAUnitOfItsField) {
    using enum ShownUnit;
    struct Case {
        std::string_view typed;
        ShownUnit unit;
        std::optional<std::string> plain;  ///< in the field's unit; nothing when refused
    };
    const Case cases[] = {
        {"1k", kHertz, "1000"},
        {"1 kHz", kHertz, "1000"},
        {"1,5 kHz", kHertz, "1500"},
        {"2.5M", kHertz, "2500000"},
        {"0,00025 MHz", kHertz, "250"},
        {"12,25", kHertz, "12.25"},
        {" 440 Hz ", kHertz, "440"},
        {"-1,5 k", kHertz, "-1500"},
        {"+7", kHertz, "7"},
        {"0.000", kHertz, "0"},
        {"007.50", kHertz, "7.5"},
        {".5", kHertz, "0.5"},
        {"5.", kHertz, "5"},
        {"12abc", kHertz, std::nullopt},
        {"1.000,5", kHertz, std::nullopt},  // two separators: no reading is sure
        {"", kHertz, std::nullopt},
        {"   ", kHertz, std::nullopt},
        {"kHz", kHertz, std::nullopt},
        {".", kHertz, std::nullopt},
        {"1 khz", kHertz, std::nullopt},
        {"1e3", kHertz, std::nullopt},
        {"1 2", kHertz, std::nullopt},
        {"--1", kHertz, std::nullopt},
        {"1V", kHertz, std::nullopt},
        {"1V", kMillivolt, "1000"},
        {"0,25 V", kMillivolt, "250"},
        {"250 mV", kMillivolt, "250"},
        {"1.5", kMillivolt, "1.5"},
        {"abc", kMillivolt, std::nullopt},
        {"", kMillivolt, std::nullopt},
        {"1k", kMillivolt, std::nullopt},
        {"-100.5", kKilohertz, "-100.5"},
        {"-100500 Hz", kKilohertz, "-100.5"},
        {"2 MHz", kKilohertz, "2000"},
        {"250 Hz", kKilohertz, "0.25"},
        {"1024", kNone, "1024"},
        {"1024 Hz", kNone, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plainNumberText(c.typed, c.unit), c.plain) << '"' << c.typed << '"';
    }
}

}  // namespace
}  // namespace tavero::model
