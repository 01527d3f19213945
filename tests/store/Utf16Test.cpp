// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "CaseName.h"
#include "store/text/Utf16.h"

namespace tavero::store::text {
namespace {

std::string encode(std::u16string_view text, Utf16Order order, bool withMark) {
    std::u16string units = withMark ? u"\uFEFF" : u"";
    units += text;
    std::string bytes;
    for (const char16_t unit : units) {
        const auto low = static_cast<char>(unit & 0xFF);
        const auto high = static_cast<char>(unit >> 8);
        if (order == Utf16Order::LittleEndian) {
            bytes += {low, high};
        } else {
            bytes += {high, low};
        }
    }
    return bytes;
}

struct Detection {
    const char* name;
    std::string bytes;
    std::optional<Utf16Order> expected;
};

void PrintTo(const Detection& c, std::ostream* out) {
    *out << c.name;
}

class Utf16Detection : public testing::TestWithParam<Detection> {};

TEST_P(Utf16Detection, RecognisesByteOrder) {
    EXPECT_EQ(detectUtf16(GetParam().bytes), GetParam().expected);
}

constexpr std::u16string_view kDocument =
    u"<Profillisten Anzahl=\"1\">\r\n\t<Profil_1>Grüße €</Profil_1>";

INSTANTIATE_TEST_SUITE_P(
    Files, Utf16Detection,
    testing::Values(
        Detection{"LittleEndianWithMark", encode(kDocument, Utf16Order::LittleEndian, true),
                  Utf16Order::LittleEndian},
        Detection{"BigEndianWithMark", encode(kDocument, Utf16Order::BigEndian, true),
                  Utf16Order::BigEndian},
        Detection{"LittleEndianWithoutMark", encode(kDocument, Utf16Order::LittleEndian, false),
                  Utf16Order::LittleEndian},
        Detection{"BigEndianWithoutMark", encode(kDocument, Utf16Order::BigEndian, false),
                  Utf16Order::BigEndian},
        Detection{"MarkAlone", encode(u"", Utf16Order::LittleEndian, true),
                  Utf16Order::LittleEndian},
        Detection{"ZeroPaddedLittleEndian",
                  encode(u"<a/>", Utf16Order::LittleEndian, false) + std::string(64, '\0'),
                  Utf16Order::LittleEndian},
        Detection{"Windows1252Text",
                  "<Profillisten Anzahl=\"50\">\r\n\t<Profil_1 Frequenz=\"100000\">\r\n\t\t"
                  "Gr\xFC\xDF\x65 \x80 \xFF\xFE\r\n\t</Profil_1>\r\n</Profillisten>\r\n",
                  std::nullopt},
        Detection{"Windows1252CutByZeroByte", std::string("<a>x</a>\0\0", 10), std::nullopt},
        Detection{"Empty", "", std::nullopt}, Detection{"OneByte", "<", std::nullopt}),
    CaseName());

TEST(Utf16, ConvertsBothByteOrdersToWindows1252) {
    const std::string expected =
        "<Profillisten Anzahl=\"1\">\r\n\t<Profil_1>Gr\xFC\xDF\x65 \x80</Profil_1>";
    for (const auto order : {Utf16Order::LittleEndian, Utf16Order::BigEndian}) {
        EXPECT_EQ(windows1252FromUtf16(encode(kDocument, order, false), order), expected);
        EXPECT_EQ(windows1252FromUtf16(encode(kDocument, order, true), order), expected)
            << "the byte-order mark is no character of the text";
    }
}

TEST(Utf16, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    constexpr auto order = Utf16Order::LittleEndian;
    EXPECT_EQ(windows1252FromUtf16(encode(u"Ω ж", order, false), order), "? ?");
    EXPECT_EQ(windows1252FromUtf16(encode(u"a😀b", order, false), order), "a?b")
        << "a surrogate pair is one character";
    EXPECT_EQ(windows1252FromUtf16(encode(u"a\xD800z\xDC00", order, false), order), "a?z?")
        << "unpaired surrogates";
}

TEST(Utf16, IgnoresAnOddLastByte) {
    EXPECT_EQ(windows1252FromUtf16(std::string("a\0b\0c", 5), Utf16Order::LittleEndian), "ab");
}

}  // namespace
}  // namespace tavero::store::text
