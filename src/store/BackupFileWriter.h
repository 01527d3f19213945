// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <set>
#include <string_view>

#include "store/FileWriter.h"

namespace tavero::store {

/// A file read only in part would lose what was not read at its next save; this writer keeps
/// the old bytes beside it as NAME.bak at the first save that replaces such a file.
class BackupFileWriter final : public FileWriter {
public:
    /// @param writer does the saving; not owned
    explicit BackupFileWriter(FileWriter& writer) : writer_(writer) {}

    /// The next save of `path` first copies its present bytes to `backupPath(path)`.
    void keepBackupAtNextSave(const std::filesystem::path& path);

    /// A save of a remembered file fails, and the file keeps its old content, when its backup
    /// cannot be written.
    SaveResult replaceFile(const std::filesystem::path& path, std::string_view bytes) override;

    /// NAME.bak beside NAME.
    static std::filesystem::path backupPath(const std::filesystem::path& path);

private:
    FileWriter& writer_;
    std::set<std::filesystem::path> pending_;
};

}  // namespace tavero::store
