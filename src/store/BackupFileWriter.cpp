// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/BackupFileWriter.h"

#include <system_error>

#include "store/text/TextFile.h"

namespace tavero::store {

void BackupFileWriter::keepBackupAtNextSave(const std::filesystem::path& path) {
    pending_.insert(path.lexically_normal());
}

SaveResult BackupFileWriter::replaceFile(const std::filesystem::path& path,
                                         std::string_view bytes) {
    const auto pending = pending_.find(path.lexically_normal());
    if (pending != pending_.end()) {
        const text::FileBytes old = text::readFileBytes(path);
        // A file that has gone meanwhile has nothing left to keep.
        if (old.problem == text::FileProblem::PermissionDenied) {
            return {path, std::make_error_code(std::errc::permission_denied)};
        }
        if (old.problem != text::FileProblem::None && old.problem != text::FileProblem::Missing) {
            return {path, std::make_error_code(std::errc::io_error)};
        }
        if (old.problem == text::FileProblem::None) {
            if (SaveResult backup = writer_.replaceFileLike(backupPath(path), old.bytes, path);
                !backup) {
                return backup;
            }
        }
    }
    SaveResult saved = writer_.replaceFile(path, bytes);
    if (saved && pending != pending_.end()) {
        pending_.erase(pending);
    }
    return saved;
}

std::filesystem::path BackupFileWriter::backupPath(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    backup += ".bak";
    return backup;
}

}  // namespace tavero::store
