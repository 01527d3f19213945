// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/DigitDisplay.h"
#include "model/OutputFrequency.h"

namespace tavero::app {
namespace {

using model::frequenzForOutput;
using model::outputFrequencyOf;

GeneratorSettings pll(std::uint32_t factor, std::int32_t offset) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllFaktor = factor;
    s.pllOffset = offset;
    return s;
}

TEST(OutputFrequency, ForwardAndInverseRules) {
    struct Case {
        std::uint32_t factor;
        std::int32_t offset;
        std::uint32_t frequenz;
        std::int64_t output;
    };
    const Case cases[] = {
        {1, 0, 100000, 100000},
        {2, 0, 1500000000, 3000000000},
        {4, -100000, 25000000, 0},
        {3, -1, 334, 2},
        {2048, 200000000, 3000000000U, 3000000000LL * 2048 + 200000000000LL},
        {1, -1, 0, -1000},     // a negative offset can put the output below zero
        {0, 0, 12345, 12345},  // a factor of 0 counts as 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequenz);
        const GeneratorSettings s = pll(c.factor, c.offset);
        EXPECT_EQ(outputFrequencyOf(s, c.frequenz), c.output);
        EXPECT_EQ(frequenzForOutput(s, c.output), c.frequenz);
    }
}

TEST(OutputFrequency, InverseTruncatesTowardZeroAndKeepsTheLowBits) {
    EXPECT_EQ(frequenzForOutput(pll(3, 0), 100), 33U);
    EXPECT_EQ(frequenzForOutput(pll(2, 0), 10000000000LL), 5000000000ULL & 0xFFFFFFFFU);
    // A negative difference (an output below the offset) truncates toward zero too.
    EXPECT_EQ(frequenzForOutput(pll(3, 1), 100), static_cast<std::uint32_t>(-300));
    // Factors only a file can hold saturate far beyond the display instead of overflowing.
    EXPECT_GT(outputFrequencyOf(pll(0xFFFFFFFFU, -200000000), 0xFFFFFFFFU), 6344000000000LL);
}

TEST(DigitDisplay, StepTables) {
    EXPECT_EQ(wheelStep(1000, Scale::Hertz), 1000000000U);
    EXPECT_EQ(wheelStep(1007, Scale::Hertz), 100U);
    EXPECT_EQ(wheelStep(1008, Scale::Hertz), 25U);
    EXPECT_EQ(wheelStep(1000, Scale::Kilohertz), 1000000000000U);
    EXPECT_EQ(wheelStep(1008, Scale::Kilohertz), 10000U);
    EXPECT_EQ(wheelStep(1018, Scale::Kilohertz), 1000U);
    EXPECT_EQ(wheelStep(1021, Scale::Hertz), 1U);
    EXPECT_EQ(frequencyClickStep(0, Scale::Hertz), 25U);
    EXPECT_EQ(frequencyClickStep(1, Scale::Hertz), 25U);
    EXPECT_EQ(frequencyClickStep(2, Scale::Hertz), 100U);
    EXPECT_EQ(frequencyClickStep(0, Scale::Kilohertz), 10000U);
    EXPECT_EQ(frequencyClickStep(9, Scale::Kilohertz), 1000000000000U);
}

TEST(DigitDisplay, ValuesThatCannotBeShown) {
    EXPECT_FALSE(frequencyReadout(-1));
    EXPECT_FALSE(frequencyReadout(6344000000001LL));
    ASSERT_TRUE(frequencyReadout(6344000000000LL));
    EXPECT_EQ(frequencyReadout(6344000000000LL)->digits[9], res::Picture::digit(6));
}

}  // namespace
}  // namespace tavero::app
