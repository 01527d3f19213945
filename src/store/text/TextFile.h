// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/text/FileProblem.h"

namespace tavero::store::text {

/// The bytes of a text file as 8-bit Windows-1252 text: UTF-16 is converted (see
/// windows1252FromUtf16 for `charactersLost`), anything else is taken as it is.
std::string textFromFileBytes(std::string_view bytes, bool* charactersLost = nullptr);

/// A whole file's bytes, or why they could not be read.
struct FileBytes {
    std::string bytes;
    FileProblem problem = FileProblem::None;
    /// UTF-16 text held characters that Windows-1252 cannot, now '?'.
    bool charactersLost = false;
};

/// The bytes of a regular file of at most `kMaxTextFileBytes`; anything else (a directory, a
/// device, a FIFO, also behind a symbolic link) is refused without blocking.
FileBytes readFileBytes(const std::filesystem::path& path);

/// The whole file through `textFromFileBytes`, or why it could not be read.
FileBytes readTextFile(const std::filesystem::path& path);

}  // namespace tavero::store::text
