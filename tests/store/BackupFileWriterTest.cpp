// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "DirectFileWriter.h"
#include "TempFolder.h"
#include "store/BackupFileWriter.h"

namespace tavero::store {
namespace {

/// Fails every save of a backup.
class BackupRefusingWriter final : public FileWriter {
public:
    SaveResult replaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        if (path.extension() == ".bak") {
            return {path, std::make_error_code(std::errc::no_space_on_device)};
        }
        return direct_.replaceFile(path, bytes);
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
