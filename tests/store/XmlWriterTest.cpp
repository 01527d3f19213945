// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

namespace tavero::store::xml {
namespace {

DocNode exampleDocument() {
    const DocNode top = CreateTop();
    const DocNode a = AppendElement(top, "A");
    AppendAttribute(a, "n", "2");
    const DocNode b = AppendElement(a, "B");
    AppendText(b, "x");
    AppendAttribute(b, "k", "1");
    AppendElement(a, "C");
    return top;
}

TEST(XmlWriter, IndentsWithTabsAndEndsLinesWithLineFeeds) {
    EXPECT_EQ(WriteText(exampleDocument(), true),
              "<A n=\"2\">\n"
              "\t<B k=\"1\">\n"
              "\t\tx\n"
              "\t</B>\n"
              "\t<C/>\n"
              "</A>\n");
}

TEST(XmlWriter, UnindentedFormHasTheSameTokens) {
    EXPECT_EQ(WriteText(exampleDocument(), false), R"(<A n="2"><B k="1">x</B><C/></A>)");
}

TEST(XmlWriter, NamedNodeWritesItselfAtTheOuterLevel) {
    const DocNode b = ElementAt(ElementAt(exampleDocument(), 0), 0);
    EXPECT_EQ(WriteText(b, true), "<B k=\"1\">\n\tx\n</B>\n");
}

TEST(XmlWriter, EmptyTextGivesStartAndEndTagOnConsecutiveLines) {
    const DocNode top = CreateTop();
    const DocNode list = AppendElement(top, "Profillisten");
    const DocNode profile = AppendElement(list, "Profil_1");
    AppendText(profile, "");
    AppendAttribute(profile, "Frequenz", "100000");
    EXPECT_EQ(WriteText(top, true),
              "<Profillisten>\n"
              "\t<Profil_1 Frequenz=\"100000\">\n"
              "\t</Profil_1>\n"
              "</Profillisten>\n");
}

TEST(XmlWriter, EscapesValuesAndTextsButNotVerbatimSections) {
    const DocNode top = CreateTop();
    const DocNode a = AppendElement(top, "a");
    AppendAttribute(a, "v", R"(<"&'>)");
    AppendText(a, "Tom & Jerry's <b>\"x\"</b> \xE4\x80");
    AppendVerbatim(a, "<!--", " a < b & c ", "-->");
    EXPECT_EQ(WriteText(top, true),
              "<a v=\"&lt;&quot;&amp;&apos;&gt;\">\n"
              "\tTom &amp; Jerry&apos;s &lt;b&gt;&quot;x&quot;&lt;/b&gt; \xE4\x80\n"
              "\t<!-- a < b & c -->\n"
              "</a>\n");
}

TEST(XmlWriter, DeclarationClosesWithQuestionMarkAndHoldsItsContentAtItsLevel) {
    const DocNode top = CreateTop();
    const DocNode xml = AppendElement(top, "xml", true);
    AppendAttribute(xml, "version", "1.0");
    const DocNode r = AppendElement(xml, "r");
    AppendText(r, "t");
    AppendText(xml, "after");
    EXPECT_EQ(WriteText(top, true),
              "<?xml version=\"1.0\"?>\n"
              "<r>\n"
              "\tt\n"
              "</r>\n"
              "\tafter\n");
}

TEST(XmlWriter, KeepsTheOrderOfContent) {
    const DocNode top = CreateTop();
    const DocNode a = AppendElement(top, "a");
    AppendText(a, "one");
    AppendElement(a, "b");
    AppendVerbatim(a, "<![CDATA[", "c", "]]>");
    AppendText(a, "two");
    EXPECT_EQ(WriteText(top, false), "<a>one<b/><![CDATA[c]]>two</a>");
}

void expectSameTree(const DocNode& expected, const DocNode& actual) {
    ASSERT_EQ(actual.isNull(), expected.isNull());
    EXPECT_EQ(Name(actual), Name(expected));
    EXPECT_EQ(IsDeclaration(actual), IsDeclaration(expected));
    EXPECT_EQ(EntryCount(actual), EntryCount(expected)) << Name(expected).value_or("top");
    for (std::size_t i = 0; TextAt(expected, i) || TextAt(actual, i); ++i) {
        EXPECT_EQ(TextAt(actual, i), TextAt(expected, i));
    }
    ASSERT_EQ(ElementCount(actual), ElementCount(expected));
    for (std::size_t i = 0; i < ElementCount(expected); ++i) {
        expectSameTree(ElementAt(expected, i), ElementAt(actual, i));
    }
}

// The shape of the profile file: one list element, profile elements holding a name and values.
DocNode profileDocument() {
    const DocNode top = CreateTop();
    const DocNode list = AppendElement(top, "Profillisten");
    AppendAttribute(list, "Anzahl", "3");
    const char* names[] = {"-- leeres Profil --", "Tom & Jerry's <\"best\">", "\xC4 \x80 \x9F"};
    for (int i = 0; i < 3; ++i) {
        const DocNode profile = AppendElement(list, "Profil_" + std::to_string(i + 1));
        AppendText(profile, names[i]);
        AppendAttribute(profile, "Frequenz", std::to_string(100000 * (i + 1)));
        AppendAttribute(profile, "Wobbel-Startfrequenz", "25");
        AppendAttribute(profile, "PLL-Offset", "-5");
    }
    const DocNode notes = AppendElement(list, "Notiz");
    AppendVerbatim(notes, "<!--", " \xC4nderung & mehr ", "-->");
    return top;
}

TEST(XmlWriter, ReadingWhatWasWrittenGivesTheSameTree) {
    const DocNode original = profileDocument();
    const std::string written = WriteText(original, true);
    LoadResult result;
    const DocNode reread = LoadText(written, result);
    EXPECT_EQ(result.code, LoadCode::NoError);
    expectSameTree(original, reread);
    EXPECT_EQ(WriteText(reread, true), written);
    EXPECT_EQ(AttributeValue(ElementAt(FindElement(reread, "Profillisten"), 1), "PLL-Offset"),
              "-5");
}

TEST(XmlWriter, EmptyTextReadsBackAsNoText) {
    const DocNode top = CreateTop();
    AppendText(AppendElement(top, "Profil_1"), "");
    LoadResult result;
    const DocNode reread = LoadText(WriteText(top, true), result);
    const DocNode profile = FindElement(reread, "Profil_1");
    ASSERT_FALSE(profile.isNull());
    EXPECT_EQ(TextAt(profile, 0), std::nullopt);
    EXPECT_EQ(EntryCount(profile), 0U);
}

TEST(XmlWriter, UnindentedTextReadsBackToo) {
    const DocNode original = profileDocument();
    LoadResult result;
    const DocNode reread = LoadText(WriteText(original, false), result);
    EXPECT_EQ(result.code, LoadCode::NoError);
    expectSameTree(original, reread);
}

}  // namespace
}  // namespace tavero::store::xml
