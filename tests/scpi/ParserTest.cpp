// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "scpi/ErrorQueue.h"
#include "scpi/HeaderPattern.h"
#include "scpi/Parameters.h"
#include "scpi/ProgramMessage.h"
#include "scpi/ScpiError.h"

namespace tavero::scpi {
namespace {

int errorCodeOf(auto&& action) {
    try {
        action();
    } catch (const ScpiError& e) {
        return e.entry().code;
    }
    return kNoError;
}

TEST(HeaderPatternTest, MatchesShortAndLongFormsAndOptionalNodes) {
    struct Case {
        const char* pattern;
        std::vector<std::string> nodes;
        bool matches;
    };
    const std::array<Case, 12> cases = {{
        {"[SOURce#]:FREQuency:[CW]", {"FREQ"}, true},
        {"[SOURce#]:FREQuency:[CW]", {"SOURCE", "FREQUENCY", "CW"}, true},
        {"[SOURce#]:FREQuency:[CW]", {"SOUR1", "FREQ"}, true},
        {"[SOURce#]:FREQuency:[CW]", {"SOUR2", "FREQ"}, false},
        {"[SOURce#]:FREQuency:[CW]", {"FREQU"}, false},  // neither form
        {"[SOURce#]:FREQuency:[CW]", {"FREQ", "STAR"}, false},
        {"[SOURce#]:FREQuency:[CW]", {}, false},
        {"SYSTem:ERRor:[NEXT]", {"SYST", "ERR", "NEXT"}, true},
        {"SYSTem:ERRor:[NEXT]", {"ERR"}, false},
        {"OUTPut#:[STATe]", {"OUTP1"}, true},
        {"[SOURce#]:VOLTage:[LEVel]:[IMMediate]:[AMPLitude]", {"VOLT", "AMPL"}, true},
        {"[SOURce#]:VOLTage:[LEVel]:[IMMediate]:[AMPLitude]", {"VOLT", "UNIT"}, false},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(HeaderPattern(c.pattern).matches(c.nodes), c.matches)
            << c.pattern << " against " << ::testing::PrintToString(c.nodes);
    }
}

TEST(ProgramMessageTest, SplitsLinesIntoUnitsAndParsesThem) {
    struct Case {
        const char* line;
        std::vector<std::string> firstNodes;
        bool query;
        std::vector<std::string> parameters;
        std::size_t unitCount;
    };
    const std::array<Case, 7> cases = {{
        {"freq 1000", {"FREQ"}, false, {"1000"}, 1},
        {"IDN-SGLT-PRI?", {"IDN-SGLT-PRI"}, true, {}, 1},
        {":SOUR1:FREQ?;*OPC?", {"SOUR1", "FREQ"}, true, {}, 2},
        {"*idn?", {"IDN"}, true, {}, 1},
        {"TAV:LIST:LOAD \"a;b\",'x'", {"TAV", "LIST", "LOAD"}, false, {"\"a;b\"", "'x'"}, 1},
        {"VOLT  0.5 V \r", {"VOLT"}, false, {"0.5 V"}, 1},
        {"FREQ 1;;VOLT 2", {"FREQ"}, false, {"1"}, 3},
    }};
    for (const Case& c : cases) {
        const std::vector<std::string_view> units = splitUnits(c.line);
        ASSERT_EQ(units.size(), c.unitCount) << c.line;
        const ProgramUnit unit = parseUnit(units.front());
        EXPECT_EQ(unit.nodes, c.firstNodes) << c.line;
        EXPECT_EQ(unit.query, c.query) << c.line;
        EXPECT_EQ(unit.parameters, c.parameters) << c.line;
    }
}

TEST(ProgramMessageTest, RefusesMalformedUnitsWithTheirCodes) {
    struct Case {
        const char* unit;
        int code;
    };
    const std::array<Case, 10> cases = {{
        {"FREQ: 1", kSyntaxError},
        {"FREQ-1", kSyntaxError},
        {"IDN--SGLT?", kSyntaxError},
        {"1FREQ", kSyntaxError},
        {"FREQ?1", kSyntaxError},
        {"FR$EQ 1", kSyntaxError},
        {"TAV:LIST:LOAD \"open", kSyntaxError},
        {"FREQ 1,,2", kSyntaxError},
        {"*", kSyntaxError},
        {"\x01\xff", kSyntaxError},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(errorCodeOf([&] { parseUnit(c.unit); }), c.code) << c.unit;
    }
    EXPECT_EQ(unquote("\"say \"\"hi\"\"\""), "say \"hi\"");
    EXPECT_EQ(errorCodeOf([] { unquote("plain"); }), kDataTypeError);
}

TEST(ParametersTest, ReadsNumbersWithSuffixesAndNamedValues) {
    struct Case {
        const char* text;
        Unit unit;
        Numeric::Kind kind;
        double value;
        int code;
    };
    using K = Numeric::Kind;
    const std::array<Case, 21> cases = {{
        {"1000", Unit::kHertz, K::kValue, 1000.0, kNoError},
        {"1.5KHZ", Unit::kHertz, K::kValue, 1500.0, kNoError},
        {"2 MHz", Unit::kHertz, K::kValue, 2e6, kNoError},  // M is mega before HZ
        {"500MV", Unit::kVolt, K::kValue, 0.5, kNoError},   // and milli before V
        {"+.5", Unit::kVolt, K::kValue, 0.5, kNoError},
        {"-2.5E-1", Unit::kNone, K::kValue, -0.25, kNoError},
        {"1e3", Unit::kHertz, K::kValue, 1000.0, kNoError},
        {"20ms", Unit::kSecond, K::kValue, 0.02, kNoError},
        {"min", Unit::kHertz, K::kMinimum, 0.0, kNoError},
        {"MAXimum", Unit::kVolt, K::kMaximum, 0.0, kNoError},
        {"DEF", Unit::kVolt, K::kDefault, 0.0, kNoError},
        {"1 KV", Unit::kHertz, K::kValue, 0.0, kInvalidSuffix},
        {"1HZ", Unit::kVolt, K::kValue, 0.0, kInvalidSuffix},
        {"1.2.3", Unit::kNone, K::kValue, 0.0, kInvalidSuffix},
        {"ABC", Unit::kHertz, K::kValue, 0.0, kDataTypeError},
        {"\"1\"", Unit::kHertz, K::kValue, 0.0, kDataTypeError},
        {"E5", Unit::kNone, K::kValue, 0.0, kDataTypeError},
        {"1.5 E 3", Unit::kHertz, K::kValue, 1500.0, kNoError},
        {"2e -1 V", Unit::kVolt, K::kValue, 0.2, kNoError},
        // Beyond a double: infinite, for the command's range check to refuse.
        {"-1e999", Unit::kNone, K::kValue, -HUGE_VAL, kNoError},
        {"1e-999", Unit::kNone, K::kValue, 0.0, kNoError},
    }};
    for (const Case& c : cases) {
        Numeric read;
        EXPECT_EQ(errorCodeOf([&] { read = readNumeric(c.text, c.unit); }), c.code) << c.text;
        if (c.code == kNoError) {
            EXPECT_EQ(read.kind, c.kind) << c.text;
            EXPECT_DOUBLE_EQ(read.value, c.value) << c.text;
        }
    }
}

TEST(ParametersTest, FormatsDecimalsWithThePointWhateverTheLocale) {
    struct Case {
        long long value;
        int decimals;
        const char* text;
    };
    const std::array<Case, 5> cases = {{
        {100025, 2, "1000.25"},
        {5, 2, "0.05"},
        {-50, 2, "-0.50"},
        {500, 3, "0.500"},
        {7, 0, "7"},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(formatDecimal(c.value, c.decimals), c.text);
    }
}

TEST(ErrorQueueTest, KeepsTheOldestEntriesAndMarksAnOverflow) {
    ErrorQueue queue;
    for (int i = 1; i <= 25; ++i) {
        queue.push({i, "device"});
    }
    for (int i = 1; i < static_cast<int>(ErrorQueue::kCapacity); ++i) {
        EXPECT_EQ(queue.pop().code, i);
    }
    EXPECT_EQ(queue.pop().code, kQueueOverflow);
    EXPECT_EQ(queue.pop(), (ErrorEntry{kNoError, "No error"}));
}

}  // namespace
}  // namespace tavero::scpi
