// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "TempFolder.h"
#include "Utf16Bytes.h"
#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

namespace tavero::store::xml {
namespace {

constexpr std::u16string_view kPlaylist =
    u"<Playlist Anzahl=\"1\" Schleife=\"1\">\r\n"
    u"\t<Playlistelement_1 Frequenz=\"100000\" Duration=\"5\">\r\n"
    u"\t\tGrüße & mehr €\r\n"
    u"\t</Playlistelement_1>\r\n"
    u"</Playlist>\r\n";

TEST(LoadFile, Utf16LittleEndianFileReadsLikeTheWindows1252One) {
    const TempFolder folder;
    std::u16string escaped(kPlaylist);
    escaped.replace(escaped.find(u'&'), 1, u"&amp;");
    std::string windows1252 =
        "<Playlist Anzahl=\"1\" Schleife=\"1\">\r\n"
        "\t<Playlistelement_1 Frequenz=\"100000\" Duration=\"5\">\r\n"
        "\t\tGr\xFC\xDF\x65 &amp; mehr \x80\r\n"
        "\t</Playlistelement_1>\r\n"
        "</Playlist>\r\n";

    LoadResult fromUtf16;
    const DocNode utf16Top = LoadFile(folder.write("utf16.tvr", littleEndian(escaped)), fromUtf16);
    LoadResult from1252;
    const DocNode ansiTop = LoadFile(folder.write("ansi.tvr", windows1252), from1252);

    EXPECT_EQ(fromUtf16.code, LoadCode::NoError);
    EXPECT_EQ(from1252.code, LoadCode::NoError);
    ASSERT_FALSE(utf16Top.isNull());
    EXPECT_EQ(WriteText(utf16Top, true), WriteText(ansiTop, true));
    const DocNode entry = ElementAt(FindElement(utf16Top, "playlist"), 0);
    EXPECT_EQ(TextAt(entry, 0), "Gr\xFC\xDF\x65 & mehr \x80");
    EXPECT_EQ(AttributeValue(entry, "duration"), "5");
}

TEST(LoadFile, MissingFileIsFileNotFoundWithoutPlace) {
    const TempFolder folder;
    LoadResult result{LoadCode::NoError, 5, 5};
    EXPECT_TRUE(LoadFile(folder.path() / "Profile.pro", result).isNull());
    EXPECT_EQ(result.code, LoadCode::FileNotFound);
    EXPECT_EQ(result.line, 0);
    EXPECT_EQ(result.column, 0);
}

TEST(LoadFile, EmptyFileIsADocumentWithoutElements) {
    const TempFolder folder;
    LoadResult result;
    const DocNode top = LoadFile(folder.write("Profile.pro", ""), result);
    EXPECT_EQ(result.code, LoadCode::NoError);
    ASSERT_FALSE(top.isNull());
    EXPECT_EQ(ElementCount(top), 0U);
}

}  // namespace
}  // namespace tavero::store::xml
