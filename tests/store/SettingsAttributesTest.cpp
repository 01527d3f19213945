// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "CaseName.h"
#include "core/GeneratorSettings.h"
#include "store/SettingsAttributes.h"
#include "store/xml/DocNode.h"

namespace tavero::store {
namespace {

/// An element holding every settings key with the same value.
xml::DocNode elementWithAll(const std::string& value) {
    const xml::DocNode element = xml::AppendElement(xml::CreateTop(), "Profil_1");
    for (const SettingsField& field : settingsFields()) {
        xml::AppendAttribute(element, field.key, value);
    }
    return element;
}

/// A record whose fields hold what a "number" (64 bits, or 32 for the 32-bit fields) or an
/// "integer" (32 or 8 bits) reading gave.
GeneratorSettings readingsOf(std::uint32_t number32, std::int64_t number64, std::uint32_t integer32,
                             std::uint8_t integer8) {
    GeneratorSettings s;
    s.frequenz = number32;
    s.minimalfrequenz = number32;
    s.maximalfrequenz = number32;
    s.schrittweite = number32;
    s.amplitude = integer32;
    s.wobbelStartfrequenz = number32;
    s.wobbelStoppfrequenz = number32;
    s.wobbelFrequenz = integer32;
    s.signalform = integer8;
    s.modulationseinstellungen = integer8;
    s.frequenzhub = number64;
    s.phasenhub = integer32;
    s.amplitudenhub = integer8;
    s.modulationsfrequenz = integer32;
    s.konfiguration = integer8;
    s.pllFaktor = integer32;
    s.pllOffset = static_cast<std::int32_t>(number32);
    return s;
}

struct ConversionCase {
    std::string name;
    std::string value;
    GeneratorSettings expected;
};

void PrintTo(const ConversionCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadSettingsAttributes : public testing::TestWithParam<ConversionCase> {};

TEST_P(ReadSettingsAttributes, EachFieldUsesItsConversionAndKeepsItsLowBits) {
    EXPECT_EQ(readSettingsAttributes(elementWithAll(GetParam().value)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadSettingsAttributes,
    testing::Values(
        ConversionCase{"Exponent", "1e3", readingsOf(1000, 1000, 1, 1)},
        ConversionCase{"Fraction", "2.9", readingsOf(2, 2, 2, 2)},
        ConversionCase{"MinusOne", "-1", readingsOf(0xFFFFFFFF, -1, 0xFFFFFFFF, 0xFF)},
        ConversionCase{"ThirtyMegahertz", "3000000000",
                       readingsOf(3000000000U, 3000000000, 0x7FFFFFFF, 0xFF)},
        ConversionCase{"Beyond32Bits", "4294967396", readingsOf(100, 4294967396, 0x7FFFFFFF, 0xFF)},
        ConversionCase{"Huge", "1e300",
                       readingsOf(0xFFFFFFFF, std::numeric_limits<std::int64_t>::max(), 1, 1)},
        ConversionCase{"NotANumber", "nan", readingsOf(0, 0, 0, 0)},
        ConversionCase{"Text", "abc", readingsOf(0, 0, 0, 0)}),
    CaseName{});

TEST(ReadSettingsAttributes, FindsNamesInAnyCaseAndOrderAndGivesMissingOnesAnEmptyProfilesValue) {
    const xml::DocNode element = xml::AppendElement(xml::CreateTop(), "x");
    xml::AppendAttribute(element, "pll-offset", "-7");
    xml::AppendAttribute(element, "FREQUENZ", "100000");
    xml::AppendAttribute(element, "Amplitude", "7");
    xml::AppendAttribute(element, "Maximalfrequenz", "x");
    // What a profile element cut off after its first attributes would otherwise send: a PLL
    // factor of 0 and no upper limit.
    GeneratorSettings expected = GeneratorSettings::emptyProfile();
    expected.frequenz = 100000;
    expected.amplitude = 7;
    expected.maximalfrequenz = 0;
    expected.pllOffset = -7;
    EXPECT_EQ(readSettingsAttributes(element), expected);
}

TEST(SettingsAttributes, ExtremeValuesReadBackExactly) {
    const auto roundTrip = [](const GeneratorSettings& s) {
        const xml::DocNode element = xml::AppendElement(xml::CreateTop(), "P");
        appendSettingsAttributes(element, s);
        return readSettingsAttributes(element);
    };
    // The fields read as integers never exceed their 16-bit wire width.
    GeneratorSettings highest =
        readingsOf(0xFFFFFFFF, std::numeric_limits<std::int64_t>::max(), 0xFFFF, 0xFF);
    highest.pllOffset = std::numeric_limits<std::int32_t>::max();
    GeneratorSettings lowest = readingsOf(0, std::numeric_limits<std::int64_t>::min(), 0, 0);
    lowest.pllOffset = std::numeric_limits<std::int32_t>::min();
    GeneratorSettings unevenHub = GeneratorSettings::emptyProfile();
    unevenHub.frequenzhub = std::numeric_limits<std::int64_t>::max() - 1;

    EXPECT_EQ(roundTrip(highest), highest);
    EXPECT_EQ(roundTrip(lowest), lowest);
    EXPECT_EQ(roundTrip(unevenHub), unevenHub);
}

}  // namespace
}  // namespace tavero::store
