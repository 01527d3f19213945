// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Directory.h"

#include <system_error>

namespace tavero::ui {

CreateDirectoryResult createDirectory(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::create_directory(path, error)) {
        return CreateDirectoryResult::Created;
    }
    if (!error || error == std::errc::file_exists) {
        return CreateDirectoryResult::AlreadyExists;
    }
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
        return CreateDirectoryResult::PathNotFound;
    }
    return CreateDirectoryResult::Failed;
}

}  // namespace tavero::ui
