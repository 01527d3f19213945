// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/BackupFileWriter.h"

#include "store/text/TextFile.h"

namespace tavero::store {

void BackupFileWriter::keepBackupAtNextSave(const std::filesystem::path& path) {
    pending_.insert(path.lexically_normal());
}

bool BackupFileWriter::replaceFile(const std::filesystem::path& path, std::string_view bytes) {
    const auto pending = pending_.find(path.lexically_normal());
    if (pending != pending_.end()) {
        const text::FileBytes old = text::readFileBytes(path);
        // A file that has gone meanwhile has nothing left to keep.
        if (old.problem != text::FileProblem::Missing &&
            (old.problem != text::FileProblem::None ||
             !writer_.replaceFile(backupPath(path), old.bytes))) {
            return false;
        }
    }
    if (!writer_.replaceFile(path, bytes)) {
        return false;
    }
    if (pending != pending_.end()) {
        pending_.erase(pending);
    }
    return true;
}

std::filesystem::path BackupFileWriter::backupPath(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    backup += ".bak";
    return backup;
}

}  // namespace tavero::store
