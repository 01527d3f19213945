// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "HeadlessHost.h"
#include "RecordingDialog.h"
#include "SampleTemplate.h"
#include "ui/Directory.h"
#include "ui/FileDialogRequest.h"
#include "ui/Geometry.h"

namespace tavero::ui {
namespace {

TEST(PixelScale, ConvertsDialogUnitsRoundingHalfAwayFromZero) {
    const PixelScale classic;  // 6 × 13
    EXPECT_EQ(classic.toPixels({12, 17, 33, 62}), (Rect{18, 28, 18 + 50, 28 + 101}));
    EXPECT_EQ(classic.xToPixels(1), 2);  // 1.5
    EXPECT_EQ(classic.xToPixels(-1), -2);
    EXPECT_EQ(classic.yToPixels(3), 5);  // 4.875
    const PixelScale large{7, 17};
    EXPECT_EQ(large.toPixels({32, 58, 4, 8}), (Rect{56, 123, 63, 140}));
}

TEST(FileFilter, SplitsPairsAndPatterns) {
    const auto filters =
        splitFileFilter("Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|");
    ASSERT_EQ(filters.size(), 2U);
    EXPECT_EQ(filters[0], (FileFilter{"Tavero Profildateien (.tvr)", {"*.tvr"}}));
    EXPECT_EQ(filters[1], (FileFilter{"Alle Dateien (*.*)", {"*.*"}}));

    EXPECT_EQ(splitFileFilter("Bilder|*.png;*.jpg"),
              (std::vector<FileFilter>{{"Bilder", {"*.png", "*.jpg"}}}));
    EXPECT_TRUE(splitFileFilter("nur Beschreibung|").empty());
    EXPECT_TRUE(splitFileFilter("").empty());
}

TEST(Window, TextAsIntReadsTheLeadingSignedNumber) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"3600", 3600},
        {"  -5", -5},
        {"+7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 0},
        {"99999999999999999999", 0},
        {"1,5", 1},
    };
    headless::HeadlessHost host(res::TemplateSet{&headless::sample::kTemplate});
    headless::RecordingDialog dialog(headless::sample::kDialogId);
    headless::HeadlessWindow& window = host.open(dialog);
    for (const auto& [text, expected] : cases) {
        window.setText(headless::sample::kEdit, text);
        EXPECT_EQ(window.textAsInt(headless::sample::kEdit), expected) << '"' << text << '"';
    }
    window.setTextFromInt(headless::sample::kEdit, -3000000000);
    EXPECT_EQ(window.text(headless::sample::kEdit), "-3000000000");
}

class CreateDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("tavero-ui-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::filesystem::path root_;
};

TEST_F(CreateDirectoryTest, TellsAlreadyExistsAndPathNotFoundApart) {
    EXPECT_EQ(createDirectory(root_ / "Tavero"), CreateDirectoryResult::Created);
    EXPECT_TRUE(std::filesystem::is_directory(root_ / "Tavero"));
    EXPECT_EQ(createDirectory(root_ / "Tavero"), CreateDirectoryResult::AlreadyExists);
    EXPECT_EQ(createDirectory(root_ / "fehlt" / "Profile"), CreateDirectoryResult::PathNotFound);

    std::ofstream(root_ / "Datei") << "x";
    EXPECT_EQ(createDirectory(root_ / "Datei"), CreateDirectoryResult::AlreadyExists);
    EXPECT_EQ(createDirectory(root_ / "Datei" / "Profile"), CreateDirectoryResult::PathNotFound);
}

TEST_F(CreateDirectoryTest, OtherFailuresAreReportedAsSuch) {
    // A name longer than any file system allows fails for a reason of its own.
    EXPECT_EQ(createDirectory(root_ / std::string(300, 'x')), CreateDirectoryResult::Failed);
}

}  // namespace
}  // namespace tavero::ui
