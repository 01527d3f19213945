// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::store::text {

/// The bytes of a text file as 8-bit Windows-1252 text: UTF-16 is converted, anything else is
/// taken as it is.
std::string textFromFileBytes(std::string_view bytes);

/// The whole file through `textFromFileBytes`, or nothing if it cannot be opened (a
/// directory included).
std::optional<std::string> readTextFile(const std::filesystem::path& path);

}  // namespace tavero::store::text
