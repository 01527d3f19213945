// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace tavero::ui {

enum class CreateDirectoryResult {
    Created,
    AlreadyExists,  ///< a directory or a file of that name exists
    PathNotFound,   ///< a folder above it is missing or is a file
    Failed,         ///< any other reason, such as missing rights or a read-only disk
};

/// Creates one directory (not the folders above it) in the file system.
CreateDirectoryResult createDirectory(const std::filesystem::path& path);

}  // namespace tavero::ui
