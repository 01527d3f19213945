// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CaseName.h"
#include "store/text/Windows1252.h"

namespace tavero::store::text {
namespace {

struct Mapping {
    const char* name;
    std::string windows1252;
    std::string utf8;
};

void PrintTo(const Mapping& c, std::ostream* out) {
    *out << c.name;
}

class Windows1252Mapping : public testing::TestWithParam<Mapping> {};

TEST_P(Windows1252Mapping, ConvertsBothWays) {
    EXPECT_EQ(utf8FromWindows1252(GetParam().windows1252), GetParam().utf8);
    EXPECT_EQ(windows1252FromUtf8(GetParam().utf8), GetParam().windows1252);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Windows1252Mapping,
    testing::Values(Mapping{"Ascii", "Profil_1 <x/>", "Profil_1 <x/>"},
                    Mapping{"Umlauts", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF", "äöüÄÖÜß"},
                    Mapping{"Euro", "\x80", "€"},
                    Mapping{"QuotesAndDashes", "\x84\x93\x96\x97\x85", "„“–—…"},
                    Mapping{"CaronLettersAndY", "\x8A\x9A\x8E\x9E\x9F", "ŠšŽžŸ"},
                    Mapping{"TrademarkAndPerMille", "\x99\x89", "™‰"},
                    Mapping{"Latin1Top", "\xA0\xA9\xB0\xFF", "\u00A0©°ÿ"},
                    Mapping{"UnassignedBytesAsC1Controls", "\x81\x8D\x8F\x90\x9D",
                            "\u0081\u008D\u008F\u0090\u009D"}),
    CaseName());

TEST(Windows1252, EveryByteSurvivesUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(windows1252FromUtf8(utf8FromWindows1252(all)), all);
}

struct Unmappable {
    const char* name;
    std::string utf8;
    std::string windows1252;
    /// What the user is told will be replaced.
    std::vector<std::string> named;
};

void PrintTo(const Unmappable& c, std::ostream* out) {
    *out << c.name;
}

class Windows1252Unmappable : public testing::TestWithParam<Unmappable> {};

TEST_P(Windows1252Unmappable, BecomesQuestionMarkAndIsNamedOnce) {
    EXPECT_EQ(windows1252FromUtf8(GetParam().utf8), GetParam().windows1252);
    EXPECT_EQ(charactersOutsideWindows1252(GetParam().utf8), GetParam().named);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Windows1252Unmappable,
    testing::Values(Unmappable{"Greek", "Ω=1", "?=1", {"Ω"}},
                    Unmappable{"C1ControlOfAnAssignedByte", "\u0080", "?", {"\u0080"}},
                    Unmappable{"Cyrillic", "Жук", "???", {"Ж", "у", "к"}},
                    Unmappable{"Repeated", "ΩΩ€Ω", "??\x80?", {"Ω"}},
                    Unmappable{"OutsideBmp", "a😀b", "a?b", {"😀"}},
                    Unmappable{"LoneContinuationByte", "a\x80z", "a?z", {"\uFFFD"}},
                    Unmappable{"SequenceCutShort", "a\xC3", "a?", {"\uFFFD"}},
                    Unmappable{"SequenceBrokenByAscii", "\xE2\x82x", "?x", {"\uFFFD"}},
                    Unmappable{"Overlong", "\xC0\xAF", "??", {"\uFFFD"}},
                    Unmappable{"OverlongThreeBytes", "\xE0\x80\xAF", "?", {"\uFFFD"}},
                    Unmappable{"Surrogate", "\xED\xA0\x80", "?", {"\uFFFD"}},
                    Unmappable{"BeyondUnicode", "\xF4\x90\x80\x80", "?", {"\uFFFD"}}),
    CaseName());

TEST(Windows1252, FoldsLetterCaseOfTheCodePage) {
    EXPECT_EQ(toLower('A'), 'a');
    EXPECT_EQ(toLower('\xC4'), '\xE4');  // Ä
    EXPECT_EQ(toLower('\xDE'), '\xFE');  // Þ
    EXPECT_EQ(toLower('\x8A'), '\x9A');  // Š
    EXPECT_EQ(toLower('\x9F'), '\xFF');  // Ÿ
    EXPECT_EQ(toLower('\xD7'), '\xD7');  // × has no case
    EXPECT_EQ(toLower('\xDF'), '\xDF');  // ß
    EXPECT_EQ(toLower('['), '[');        // not a letter, though 0x20 below {
    EXPECT_TRUE(equalsIgnoringCase("PROFILLISTEN", "Profillisten"));
    EXPECT_TRUE(equalsIgnoringCase("\xC4RGER", "\xE4rger"));
    EXPECT_FALSE(equalsIgnoringCase("Profil_1", "Profil_10"));
    EXPECT_TRUE(startsWithIgnoringCase("profil_10", "Profil_1"));
    EXPECT_FALSE(startsWithIgnoringCase("Prof", "Profil"));
}

}  // namespace
}  // namespace tavero::store::text
