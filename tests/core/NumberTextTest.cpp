// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/NumberText.h"

namespace tavero {
namespace {

TEST(NumberText, ReadsTheLongestLeadingNumberLikeStrtod) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1000.5", 1000.5},
        {"  12.5abc", 12.5},
        {"+7", 7},
        {"-0.25", -0.25},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"1e", 1},
        {"1e+", 1},
        {"2E-2x", 0.02},
        {"", 0},
        {"abc", 0},
        {".", 0},
        {"-", 0},
        {"0x10", 0},
        {"12,5", 12},
        {"1e400", INFINITY},
        {"-1e400", -INFINITY},
        {"1e-400", 0},
        {"0.000e999", 0},
        {"123456789012345678901234567890", 1.2345678901234568e29},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readLeadingNumber(c.text), c.value);
    }
    EXPECT_EQ(readLeadingNumber("INF"), INFINITY);
    EXPECT_EQ(readLeadingNumber("-infinity"), -INFINITY);
    EXPECT_TRUE(std::isnan(readLeadingNumber(" nan")));
}

TEST(NumberText, ScaledValuesAreTruncatedAndNeverWrap) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"1000,5", 100050},
        {"1000.25", 100025},
        {"1000.259", 100025},
        {"1000.1", 100010},
        {"0.29", 28},  // 0.29 * 100 is just below 29 in binary, and truncation keeps that
        {"-0.009", 0},
        {"-1000,99", -100099},
        {"92233720368547758.07", std::nullopt},
        {"1e300", std::nullopt},
        {"-1e300", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"text", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readScaledNumber(c.text, 100.0), c.value);
    }
}

TEST(NumberText, IntegersReadLikeAtoiAndSaturate) {
    EXPECT_EQ(readLeadingInteger("45,9"), 45);
    EXPECT_EQ(readLeadingInteger("  -12x"), -12);
    EXPECT_EQ(readLeadingInteger("x12"), 0);
    EXPECT_EQ(readLeadingInteger("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(readLeadingInteger("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readLeadingInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(NumberText, FormatsLikePrintf) {
    EXPECT_EQ(formatFixed(1000.5, 2), "1000.50");
    EXPECT_EQ(formatFixed(30000000.0, 2), "30000000.00");
    EXPECT_EQ(formatFixed(-0.01, 2), "-0.01");
    EXPECT_EQ(formatFixed(10.0, 1), "10.0");
    EXPECT_EQ(withDecimalPoints("1,2,3"), "1.2.3");
}

}  // namespace
}  // namespace tavero
