// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "TempFolder.h"
#include "store/text/TextFile.h"

namespace tavero::store::text {
namespace {

namespace fs = std::filesystem;

TEST(TextFile, ReadsEightBitBytesUnchanged) {
    const TempFolder folder;
    const std::string bytes = "<a>\r\n\tGr\xFC\xDF\x65 \x80\r\n</a>\r\n";
    const FileBytes read = readTextFile(folder.write("a.pro", bytes));
    EXPECT_EQ(read.problem, FileProblem::None);
    EXPECT_EQ(read.bytes, bytes);
}

TEST(TextFile, RefusesWhatIsNotARegularFileOfASaneSizeWithoutBlocking) {
    struct Case {
        std::string name;
        std::function<fs::path(const TempFolder&)> make;
        FileProblem expected;
    };
    const Case cases[] = {
        {"missing", [](const TempFolder& f) { return f.path() / "missing.pro"; },
         FileProblem::Missing},
        {"folder", [](const TempFolder& f) { return f.path(); }, FileProblem::Directory},
        {"fifo",
         [](const TempFolder& f) {
             const fs::path fifo = f.path() / "fifo.pro";
             mkfifo(fifo.c_str(), 0600);
             return fifo;
         },
         FileProblem::NotRegular},
        {"link to a device",
         [](const TempFolder& f) {
             const fs::path link = f.path() / "zero.pro";
             fs::create_symlink("/dev/zero", link);
             return link;
         },
         FileProblem::NotRegular},
        {"above the bound",
         [](const TempFolder& f) {
             const fs::path large = f.write("large.pro", "<a/>");
             fs::resize_file(large, kMaxTextFileBytes + 1);
             return large;
         },
         FileProblem::TooLarge},
    };
    for (const Case& c : cases) {
        const TempFolder folder;
        const FileBytes read = readTextFile(c.make(folder));
        EXPECT_EQ(read.problem, c.expected) << c.name;
        EXPECT_EQ(read.bytes, "") << c.name;
    }
}

}  // namespace
}  // namespace tavero::store::text
