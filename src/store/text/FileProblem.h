// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::store::text {

/// Why a file's text could not be read.
enum class FileProblem : std::uint8_t {
    None,
    Missing,
    Directory,
    /// A device, a FIFO or a socket: reading it could block or never end.
    NotRegular,
    /// Larger than `kMaxTextFileBytes`, far beyond any file the program writes.
    TooLarge,
    PermissionDenied,
    /// Any other failure of the system.
    Unreadable,
};

/// Files above this size are refused before they are read.
inline constexpr std::uint64_t kMaxTextFileBytes = 64 * 1024 * 1024;

/// The problem as it follows a file name: "is a directory", "permission denied".
std::string_view fileProblemText(FileProblem problem);

}  // namespace tavero::store::text
