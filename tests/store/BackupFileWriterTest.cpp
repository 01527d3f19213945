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
