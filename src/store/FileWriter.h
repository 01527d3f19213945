// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

namespace tavero::store {

/// Saves whole files so that an interrupted save never leaves a broken one.
class FileWriter {
public:
    virtual ~FileWriter() = default;

    /// Replaces the file at `path` with `bytes`, creating it if missing. Whatever interrupts the
    /// save (a crash, a full disk), the file afterwards holds either its old content or all of
    /// `bytes`; a writer may trade that for an in-place write where the folder takes no new file
    /// but the file itself is writable. False when the file could not be replaced.
    virtual bool replaceFile(const std::filesystem::path& path, std::string_view bytes) = 0;
};

}  // namespace tavero::store
