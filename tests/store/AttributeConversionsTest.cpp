// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "store/AttributeConversions.h"

namespace tavero::store {
namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

struct NumberCase {
    std::string text;
    std::int64_t expected;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class NumberFromText : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberFromText, ReadsLikeTheCLibraryThenTruncatesAndSaturates) {
    EXPECT_EQ(numberFromText(GetParam().text), GetParam().expected)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberFromText,
    testing::Values(
        NumberCase{"3000000000", 3000000000}, NumberCase{"-1", -1}, NumberCase{"2.9", 2},
        NumberCase{"-2.9", -2}, NumberCase{"-0.9", 0}, NumberCase{"1e3", 1000},
        NumberCase{".5e1", 5}, NumberCase{"5.", 5}, NumberCase{"1e", 1}, NumberCase{"+5", 5},
        NumberCase{" \t\r\n\v\f7", 7}, NumberCase{"  12abc", 12}, NumberCase{"", 0},
        NumberCase{"abc", 0}, NumberCase{"-", 0}, NumberCase{"+-5", 0}, NumberCase{"--5", 0},
        NumberCase{"0x10", 0}, NumberCase{"1,5", 1},
        NumberCase{"9007199254740993", 9007199254740993},
        NumberCase{"9223372036854775806", kMax64 - 1}, NumberCase{"9223372036854775808", kMax64},
        NumberCase{"-9223372036854775808", kMin64}, NumberCase{"-9223372036854775809", kMin64},
        NumberCase{"99999999999999999999999", kMax64}, NumberCase{"12e1", 120},
        NumberCase{"1e300", kMax64}, NumberCase{"-1e300", kMin64}, NumberCase{"inf", 0},
        NumberCase{"-Infinity", 0}, NumberCase{"nan", 0}, NumberCase{"-nan", 0},
        NumberCase{" +INF", 0}, NumberCase{"infinity5", 0}, NumberCase{"1e400", kMax64},
        NumberCase{"-1e400", kMin64}, NumberCase{"1e-400", 0}, NumberCase{"0.001e312", kMax64},
        NumberCase{"1000e-400", 0}, NumberCase{"1" + std::string(400, '0') + ".5", kMax64},
        NumberCase{"-0." + std::string(400, '0') + "1", 0},
        NumberCase{"1e99999999999999999999", kMax64}));

TEST(TruncateToInt64, TruncatesTowardZeroAndSaturatesWhatDoesNotFit) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncateToInt64(-0.9), 0);
    EXPECT_EQ(truncateToInt64(2.9), 2);
    EXPECT_EQ(truncateToInt64(9223372036854774784.0), 9223372036854774784);
    EXPECT_EQ(truncateToInt64(-kTwoToThe63), kMin64);
    EXPECT_EQ(truncateToInt64(kTwoToThe63), kMax64);
    EXPECT_EQ(truncateToInt64(1e300), kMax64);
    EXPECT_EQ(truncateToInt64(-1e300), kMin64);
    EXPECT_EQ(truncateToInt64(kInfinity), kMax64);
    EXPECT_EQ(truncateToInt64(-kInfinity), kMin64);
    EXPECT_EQ(truncateToInt64(std::numeric_limits<double>::quiet_NaN()), 0);
}

struct IntegerCase {
    std::string text;
    std::int32_t expected;
};

void PrintTo(const IntegerCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class IntegerFromText : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerFromText, ReadsLeadingDigitsAndSaturatesAt32Bits) {
    EXPECT_EQ(integerFromText(GetParam().text), GetParam().expected)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerFromText,
    testing::Values(IntegerCase{"500", 500}, IntegerCase{"  -12abc", -12}, IntegerCase{"+7", 7},
                    IntegerCase{"2.9", 2}, IntegerCase{"1e3", 1}, IntegerCase{"", 0},
                    IntegerCase{"x1", 0}, IntegerCase{"-", 0}, IntegerCase{"+-1", 0},
                    IntegerCase{"2147483647", kMax32}, IntegerCase{"2147483648", kMax32},
                    IntegerCase{"-2147483648", kMin32}, IntegerCase{"-2147483649", kMin32},
                    IntegerCase{"99999999999999999999999", kMax32},
                    IntegerCase{"-99999999999999999999999", kMin32}));

}  // namespace
}  // namespace tavero::store
