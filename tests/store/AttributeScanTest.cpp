// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "CaseName.h"
#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"

namespace tavero::store::xml {
namespace {

/// Reads attribute `x` of the first element through a handle that outlives the loaded document's
/// top: the values point into the document's storage, which that handle must keep.
struct ValueCase {
    const char* name;
    std::string text;
    LoadCode code;
    int column;
    std::optional<std::string> value;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << c.name;
}

class AttributeScan : public testing::TestWithParam<ValueCase> {};

TEST_P(AttributeScan, ReadsValueOrStopsAtItsPlace) {
    const ValueCase& c = GetParam();
    LoadResult result;
    DocNode element;
    {
        const DocNode top = LoadText(c.text, result);
        element = ElementAt(top, 0);
    }
    EXPECT_EQ(result.code, c.code) << LoadCodeText(result.code);
    EXPECT_EQ(result.column, c.column);
    EXPECT_EQ(AttributeValue(element, "x"), c.value);
}

constexpr auto kOk = LoadCode::NoError;
constexpr auto kUnexpected = LoadCode::UnexpectedToken;

INSTANTIATE_TEST_SUITE_P(
    Values, AttributeScan,
    testing::Values(
        ValueCase{"LongerThanOneRound", R"(<a x="1234567890"/>)", kOk, 0, "1234567890"},
        ValueCase{"Empty", R"(<a x=""/>)", kOk, 0, ""},
        ValueCase{"SingleQuotesHoldDoubleQuote", R"(<a x='say "hi"'/>)", kOk, 0, R"(say "hi")"},
        ValueCase{"EntitiesInQuotes", R"(<a x="&lt;&amp;&gt;&apos;&quot;"/>)", kOk, 0, R"(<&>'")"},
        ValueCase{"EntityLastBeforeQuote", R"(<a x='a&amp;'/>)", kOk, 0, "a&"},
        ValueCase{"EntityUnquoted", "<a x=b&amp;c/>", kOk, 0, "b&c"},
        ValueCase{"BlanksAroundEquals", "<a x \t=\r\n \"1\"/>", kOk, 0, "1"},
        ValueCase{"WithoutEquals", "<a x/>", kOk, 0, std::nullopt},
        ValueCase{"UnquotedHoldsSlash", "<a x=1/2/>", kOk, 0, "1/2"},
        ValueCase{"UnquotedEndsAtBlank", "<a x=1 y=2/>", kOk, 0, "1"},
        ValueCase{"NoBlankBeforeNextName", R"(<a x="1"y="2"/>)", kOk, 0, "1"},
        ValueCase{"EndOfDataAfterEquals", "<a x=", kOk, 0, std::nullopt},
        ValueCase{"QuotedTextAfterBareName", R"(<a x "1"/>)", kUnexpected, 6, std::nullopt},
        ValueCase{"TagOpensInsideTag", R"(<a x="1"<b/>)", kUnexpected, 9, std::nullopt},
        ValueCase{"SecondEquals", R"(<a x=="1"/>)", kUnexpected, 6, std::nullopt},
        ValueCase{"LessThanEndsQuotedValue", R"(<a x="1<2"/>)", kUnexpected, 8, std::nullopt},
        ValueCase{"ShortCloseForValue", "<a x=/>", kUnexpected, 6, std::nullopt},
        ValueCase{"UnknownEntityAfterKnownOne", R"(<a x="&amp;&foo;"/>)", LoadCode::UnknownEntity,
                  12, std::nullopt}),
    CaseName());

}  // namespace
}  // namespace tavero::store::xml
