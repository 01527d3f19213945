// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "DirectFileWriter.h"
#include "TempFolder.h"
#include "store/BackupFileWriter.h"

namespace tavero::store {
namespace {

/// Fails every save of a backup.
class BackupRefusingWriter final : public FileWriter {
public:
    bool replaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        return path.extension() != ".bak" && direct_.replaceFile(path, bytes);
    }

private:
    DirectFileWriter direct_;
};

TEST(BackupFileWriter, KeepsTheOldBytesAtTheFirstSaveOfARememberedFileOnly) {
    const TempFolder folder;
    DirectFileWriter direct;
    BackupFileWriter writer(direct);
    const std::filesystem::path remembered =
        folder.write("Profile.pro", std::string_view("old\0part", 8));
    const std::filesystem::path other = folder.write("other.tvr", "other");
    writer.keepBackupAtNextSave(folder.path() / "." / "Profile.pro");

    ASSERT_TRUE(writer.replaceFile(remembered, "first"));
    ASSERT_TRUE(writer.replaceFile(remembered, "second"));
    ASSERT_TRUE(writer.replaceFile(other, "new"));

    EXPECT_EQ(fileBytes(remembered), "second");
    EXPECT_EQ(fileBytes(BackupFileWriter::backupPath(remembered)), std::string("old\0part", 8));
    EXPECT_FALSE(std::filesystem::exists(BackupFileWriter::backupPath(other)));
}

TEST(BackupFileWriter, ASaveWhoseBackupFailsFailsAndKeepsTheFile) {
    const TempFolder folder;
    BackupRefusingWriter refusing;
    BackupFileWriter writer(refusing);
    const std::filesystem::path path = folder.write("list.tvr", "old");
    writer.keepBackupAtNextSave(path);

    EXPECT_FALSE(writer.replaceFile(path, "new"));
    EXPECT_EQ(fileBytes(path), "old");
}

}  // namespace
}  // namespace tavero::store
