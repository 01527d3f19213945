// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "store/text/TextFile.h"

namespace tavero::store::text {
namespace {

TEST(TextFile, ReadsEightBitBytesUnchanged) {
    const TempFolder folder;
    const std::string bytes = "<a>\r\n\tGr\xFC\xDF\x65 \x80\r\n</a>\r\n";
    EXPECT_EQ(readTextFile(folder.write("a.pro", bytes)), bytes);
}

TEST(TextFile, MissingFileOrFolderGivesNothing) {
    const TempFolder folder;
    EXPECT_EQ(readTextFile(folder.path() / "missing.pro"), std::nullopt);
    EXPECT_EQ(readTextFile(folder.path()), std::nullopt);
}

}  // namespace
}  // namespace tavero::store::text
