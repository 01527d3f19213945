// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "CaseName.h"
#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

namespace tavero::store::xml {
namespace {

struct ReadCase {
    const char* name;
    std::string text;
    LoadCode code;
    int line;
    int column;
    /// The tree as the unindented writer shows it; nothing when no tree is returned.
    std::optional<std::string> tree;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class XmlReading : public testing::TestWithParam<ReadCase> {};

TEST_P(XmlReading, GivesTreeOrCodeWithPlace) {
    const ReadCase& c = GetParam();
    LoadResult result{LoadCode::FileNotFound, 99, 99};
    const DocNode top = LoadText(c.text, result);
    EXPECT_EQ(result.code, c.code) << LoadCodeText(result.code);
    EXPECT_EQ(result.line, c.line);
    EXPECT_EQ(result.column, c.column);
    ASSERT_EQ(top.isNull(), !c.tree.has_value());
    if (c.tree) {
        EXPECT_EQ(WriteText(top, false), *c.tree);
    }
}

constexpr auto kOk = LoadCode::NoError;

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlReading,
    testing::Values(
        ReadCase{"AttributesQuotedUnquotedAndBare", R"(<a x="1" y='2' z=3 w/>)", kOk, 0, 0,
                 R"(<a x="1" y="2" z="3" w/>)"},
        ReadCase{"TextsAroundChild", "<a>one<b/>two</a>", kOk, 0, 0, "<a>one<b/>two</a>"},
        ReadCase{"EntitiesInAnyLetterCase", "<a>&LT;&amp;&Quot;</a>", kOk, 0, 0,
                 "<a>&lt;&amp;&quot;</a>"},
        ReadCase{"TrailingWhiteSpaceOfTextDropped", "<a>  two  words \r\n</a>", kOk, 0, 0,
                 "<a>two  words</a>"},
        ReadCase{"QuotedTextInContent", R"(<a>say "hi" =x</a>)", kOk, 0, 0,
                 "<a>say &quot;hi&quot; =x</a>"},
        ReadCase{"UnpairedQuoteStartsText", R"(<a x="1/>)", kOk, 0, 0, R"(<a x="&quot;1"/>)"},
        ReadCase{"BareAttributesInARow", "<a b c>", kOk, 0, 0, "<a b c/>"},
        ReadCase{"TopLevelText", "hi there<a/>", kOk, 0, 0, "hi there<a/>"},
        ReadCase{"EndOfDataAfterStartTag", "<a>", kOk, 0, 0, "<a/>"},
        ReadCase{"EndOfDataDropsPendingText", "<a>text", kOk, 0, 0, "<a/>"},
        ReadCase{"EndOfDataInsideTag", R"(<a x="1" y)", kOk, 0, 0, R"(<a x="1"/>)"},
        ReadCase{"Empty", "", kOk, 0, 0, ""}, ReadCase{"WhiteSpaceOnly", " \r\n\t ", kOk, 0, 0, ""},
        ReadCase{"TextEndsAtZeroByte", std::string("<a>x</a>\0<b/>", 13), kOk, 0, 0, "<a>x</a>"},
        ReadCase{"EndTagNameIsCaseBlindPrefix", "<Profil_1>n</profil_1 >", kOk, 0, 0,
                 "<Profil_1>n</Profil_1>"},
        ReadCase{"DeclarationHoldsTheRest", R"(<?xml version="1.0"?><r/>)", kOk, 0, 0,
                 R"(<?xml version="1.0"?><r/>)"},
        ReadCase{"DeclarationUnquotedValue", "<?xml version=1.0?>", kOk, 0, 0,
                 R"(<?xml version="1.0"?>)"},
        ReadCase{"DeclarationBareAttribute", "<?xml standalone?>", kOk, 0, 0, "<?xml standalone?>"},
        ReadCase{"CommentKeptVerbatim", "<a><!-- x < y --></a>", kOk, 0, 0,
                 "<a><!-- x < y --></a>"},
        ReadCase{"CdataAndDoctype", "<!DOCTYPE r><r><![CDATA[<&>]]></r>", kOk, 0, 0,
                 "<!DOCTYPE r><r><![CDATA[<&>]]></r>"},
        ReadCase{"ScriptOpeningInAnyCase", "<a><script>if (a<b) f();</Script></a>", kOk, 0, 0,
                 "<a><script>if (a<b) f();</Script></a>"},
        ReadCase{"EndTagClosesEnclosingElement", "<a><b></a>", LoadCode::UnmatchedEndTagWarning, 1,
                 7, "<a><b/></a>"},
        ReadCase{"EndTagClosesTwoLevels", "<a><b><c></b></a>", LoadCode::UnmatchedEndTagWarning, 1,
                 10, "<a><b><c/></b></a>"},
        ReadCase{"StrayEndTagAtTopLevelEndsReading", "<a/></x><b/>",
                 LoadCode::UnmatchedEndTagWarning, 1, 5, "<a/>"},
        ReadCase{"StrayEndTagFirst", "</x><a/>", LoadCode::UnmatchedEndTagWarning, 1, 1, ""},
        ReadCase{"EndTagMatchingNothing", "<a></c>", LoadCode::UnmatchedEndTag, 1, 4, std::nullopt},
        ReadCase{"LongerEndTagNameMatchesNothing", "<Profil_1>n</Profil_10>",
                 LoadCode::UnmatchedEndTag, 1, 12, std::nullopt},
        ReadCase{"PlaceCountsLineFeeds", "<a>\r\n\t<b>\r\n\t</c>\r\n</a>",
                 LoadCode::UnmatchedEndTag, 3, 2, std::nullopt},
        ReadCase{"PreClosingMustMatchCase", "<a><pre>t</pre></a>", LoadCode::UnmatchedEndTag, 1, 4,
                 std::nullopt},
        ReadCase{"UnclosedComment", "<a>\n<!-- x", LoadCode::UnmatchedEndTag, 2, 1, std::nullopt},
        ReadCase{"MissingStartTagName", "<a><>", LoadCode::MissingStartTagName, 1, 5, std::nullopt},
        ReadCase{"QuotedStartTagName", R"(<"a">)", LoadCode::MissingStartTagName, 1, 2,
                 std::nullopt},
        ReadCase{"MissingEndTagName", "<a></>", LoadCode::MissingEndTagName, 1, 6, std::nullopt},
        ReadCase{"EndTagNameNotFollowedByClose", "<a></a b>", LoadCode::MissingEndTagName, 1, 8,
                 std::nullopt},
        ReadCase{"EndOfDataInEndTag", "<a></a", LoadCode::MissingEndTagName, 1, 7, std::nullopt},
        ReadCase{"CloseInContent", "<a>x > y</a>", LoadCode::UnexpectedToken, 1, 6, std::nullopt},
        ReadCase{"EqualsInsteadOfAttributeName", R"(<a ="1"/>)", LoadCode::UnexpectedToken, 1, 4,
                 std::nullopt},
        ReadCase{"CloseInsteadOfValue", "<a x=>", LoadCode::UnexpectedToken, 1, 6, std::nullopt},
        ReadCase{"QuotedAttributeName", R"(<a "x"/>)", LoadCode::UnexpectedToken, 1, 4,
                 std::nullopt},
        ReadCase{"UnknownEntityInText", "<a>&foo;</a>", LoadCode::UnknownEntity, 1, 4,
                 std::nullopt},
        ReadCase{"NumericReferenceInValue", R"(<a x="&#65;"/>)", LoadCode::UnknownEntity, 1, 7,
                 std::nullopt}),
    CaseName());

TEST(XmlReader, TextBeforeChildIsRawAndTextBeforeEndTagDecoded) {
    LoadResult result;
    const DocNode a = FindElement(LoadText("<a>&amp;x<b/>&amp;y</a>", result), "a");
    EXPECT_EQ(TextAt(a, 0), "&amp;x");
    EXPECT_EQ(TextAt(a, 1), "&y");
    EXPECT_EQ(TextAt(a, 2), std::nullopt);
}

TEST(XmlReader, AttributeWithoutValueReadsAsNothing) {
    LoadResult result;
    const DocNode a = FindElement(LoadText(R"(<a x="1" y='2' z=3 w/>)", result), "A");
    EXPECT_EQ(AttributeValue(a, "X"), "1");
    EXPECT_EQ(AttributeValue(a, "y"), "2");
    EXPECT_EQ(AttributeValue(a, "z"), "3");
    EXPECT_EQ(AttributeValue(a, "w"), std::nullopt);
    EXPECT_EQ(EntryCount(a), 4U);
}

TEST(XmlReader, DeclarationHoldsTheElementsAfterIt) {
    LoadResult result;
    const DocNode top = LoadText(R"(<?xml version="1.0"?><r/>)", result);
    EXPECT_TRUE(FindElement(top, "r").isNull());
    const DocNode xml = FindElement(top, "xml");
    EXPECT_TRUE(IsDeclaration(xml));
    EXPECT_EQ(AttributeValue(xml, "version"), "1.0");
    EXPECT_FALSE(FindElement(xml, "r").isNull());
}

TEST(XmlReader, UnknownEntityReportsItselfAndReadingGoesOn) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"<a>&foo;</a>", "unknown escape character: '&foo;'\n"},
        {"<a>&#65;</a>", "unknown escape character: '&#65;'\n"},
        {R"(<a x="&amp &lt;"/>)", "unknown escape character: '&amp &lt;'\n"},
        {"<a>&abcdefghijklmnop;</a>", "unknown escape character: '&abcdefghijk'\n"},
        {"<a>a&</a>", "unknown escape character: '&'\n"},
    };
    for (const Case& c : cases) {
        LoadResult result;
        testing::internal::CaptureStdout();
        const DocNode top = LoadText(c.text, result);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << c.text;
        EXPECT_TRUE(top.isNull());
        EXPECT_EQ(result.code, LoadCode::UnknownEntity);
    }
    LoadResult result;
    EXPECT_FALSE(LoadText("<a>&apos;</a>", result).isNull());
    EXPECT_EQ(result.code, LoadCode::NoError);
}

std::string nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<e>";
    }
    return text;
}

TEST(XmlReader, NestingIsBounded) {
    LoadResult result;
    DocNode node = LoadText(nested(kMaxNestingDepth), result);
    EXPECT_EQ(result.code, LoadCode::NoError);
    int depth = 0;
    for (node = ElementAt(node, 0); !node.isNull(); node = ElementAt(node, 0)) {
        ++depth;
    }
    EXPECT_EQ(depth, kMaxNestingDepth);

    EXPECT_TRUE(LoadText(nested(kMaxNestingDepth + 1), result).isNull());
    EXPECT_EQ(result.code, LoadCode::NestingTooDeep);
    EXPECT_EQ(result.line, 1);
    EXPECT_EQ(result.column, 3 * kMaxNestingDepth + 1);

    EXPECT_TRUE(LoadText(nested(1'000'000), result).isNull());
    EXPECT_EQ(result.code, LoadCode::NestingTooDeep);
}

TEST(XmlReader, ElementCountIsBoundedBeforeTheTreeIsBuilt) {
    std::string startTags;
    for (std::size_t i = 0; i <= kMaxElements; ++i) {
        startTags += "<a/>";
    }
    LoadResult result;
    EXPECT_FALSE(LoadText(startTags, result));
    EXPECT_EQ(result.code, LoadCode::TooManyElements);

    // End tags are not counted: one element followed by as many end tags is read as before.
    std::string endTags = "<a>";
    for (std::size_t i = 0; i <= kMaxElements; ++i) {
        endTags += "</a>";
    }
    LoadText(endTags, result);
    EXPECT_EQ(result.code, LoadCode::UnmatchedEndTagWarning);
}

TEST(LoadCode, TextsNameEveryCode) {
    EXPECT_EQ(LoadCodeText(LoadCode::NoError), "No error");
    EXPECT_EQ(LoadCodeText(LoadCode::UnmatchedEndTagWarning), "Warning: Unmatched end tag");
    EXPECT_EQ(LoadCodeText(LoadCode::UnmatchedEndTag), "Error: Unmatched end tag");
    EXPECT_EQ(LoadCodeText(LoadCode::FirstTagNotFound), "Error: First Tag not found");
    EXPECT_EQ(LoadCodeText(LoadCode::UnknownEntity), "Error: Unknown entity");
    EXPECT_EQ(LoadCodeText(LoadCode::TooManyElements), "Error: More than 1000000 elements");
    EXPECT_EQ(LoadCodeText(static_cast<LoadCode>(16)), "Unknown");
    EXPECT_EQ(LoadCodeText(static_cast<LoadCode>(-1)), "Unknown");
}

}  // namespace
}  // namespace tavero::store::xml
