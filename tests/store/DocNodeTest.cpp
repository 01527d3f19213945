// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>

#include "store/xml/DocNode.h"
#include "store/xml/XmlWriter.h"

namespace tavero::store::xml {
namespace {

TEST(DocNode, CopiesShareTheNode) {
    const DocNode top = CreateTop();
    const DocNode copy = top;
    AppendElement(copy, "a");
    EXPECT_EQ(copy, top);
    EXPECT_EQ(ElementCount(top), 1U);
}

TEST(DocNode, ElementHeldElsewhereOutlivesItsDocument) {
    DocNode child;
    {
        const DocNode top = CreateTop();
        const DocNode a = AppendElement(top, "a");
        child = AppendElement(a, "b");
        AppendText(child, "kept");
    }
    EXPECT_EQ(Name(child), "b");
    EXPECT_EQ(TextAt(child, 0), "kept");
}

TEST(DocNode, NullHandleReadsAsEmpty) {
    const DocNode null;
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null);
    EXPECT_EQ(ElementCount(null), 0U);
    EXPECT_TRUE(ElementAt(null, 0).isNull());
    EXPECT_TRUE(FindElement(null, "a").isNull());
    EXPECT_EQ(AttributeValue(null, "a"), std::nullopt);
    EXPECT_EQ(TextAt(null, 0), std::nullopt);
    EXPECT_EQ(Name(null), std::nullopt);
    EXPECT_FALSE(IsDeclaration(null));
    EXPECT_EQ(EntryCount(null), 0U);
}

TEST(DocNode, AppendingToNullOrWithoutNameAddsNothing) {
    const DocNode null;
    EXPECT_TRUE(AppendElement(null, "a").isNull());
    AppendAttribute(null, "a", "1");
    AppendText(null, "t");
    AppendVerbatim(null, "<!--", "", "-->");

    const DocNode top = CreateTop();
    EXPECT_TRUE(AppendElement(top, "").isNull());
    const DocNode a = AppendElement(top, "a");
    AppendAttribute(a, "", "1");
    EXPECT_EQ(EntryCount(top), 1U);
    EXPECT_EQ(EntryCount(a), 0U);
}

TEST(DocNode, ElementAtCountsOnlyElements) {
    const DocNode top = CreateTop();
    AppendText(top, "t");
    const DocNode a = AppendElement(top, "a");
    AppendVerbatim(top, "<!--", "c", "-->");
    const DocNode b = AppendElement(top, "b");
    EXPECT_EQ(ElementCount(top), 2U);
    EXPECT_EQ(EntryCount(top), 4U);
    EXPECT_EQ(ElementAt(top, 0), a);
    EXPECT_EQ(ElementAt(top, 1), b);
    EXPECT_TRUE(ElementAt(top, 2).isNull());
}

TEST(DocNode, FindElementIgnoresLetterCaseOfTheCodePage) {
    const DocNode top = CreateTop();
    const DocNode list = AppendElement(top, "Profillisten");
    const DocNode umlaut = AppendElement(top, "\xC4nderungen");  // Änderungen
    EXPECT_EQ(FindElement(top, "PROFILLISTEN"), list);
    EXPECT_EQ(FindElement(top, "\xE4NDERUNGEN"), umlaut);
    EXPECT_TRUE(FindElement(top, "Profilliste").isNull());
}

TEST(DocNode, FindElementFromPositionVisitsEveryMatch) {
    const DocNode top = CreateTop();
    const DocNode first = AppendElement(top, "p");
    AppendElement(top, "q");
    const DocNode second = AppendElement(top, "P");
    std::size_t position = 0;
    EXPECT_EQ(FindElement(top, "p", position), first);
    EXPECT_EQ(position, 1U);
    EXPECT_EQ(FindElement(top, "p", position), second);
    EXPECT_EQ(position, 3U);
    EXPECT_TRUE(FindElement(top, "p", position).isNull());
    EXPECT_EQ(FindElement(top, "p"), first);
}

TEST(DocNode, AttributeValueTakesTheFirstOfAName) {
    const DocNode top = CreateTop();
    const DocNode a = AppendElement(top, "a");
    AppendAttribute(a, "Frequenz", "1");
    AppendAttribute(a, "x", "");
    AppendAttribute(a, "FREQUENZ", "2");
    EXPECT_EQ(AttributeValue(a, "frequenz"), "1");
    EXPECT_EQ(AttributeValue(a, "x"), "");
    EXPECT_EQ(AttributeValue(a, "y"), std::nullopt);

    std::size_t position = 0;
    EXPECT_EQ(AttributeValue(a, "Frequenz", position), "1");
    EXPECT_EQ(AttributeValue(a, "Frequenz", position), "2");
    EXPECT_EQ(position, 3U);
    EXPECT_EQ(AttributeValue(a, "Frequenz", position), std::nullopt);
}

}  // namespace
}  // namespace tavero::store::xml
