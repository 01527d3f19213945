// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/text/TextFile.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "store/text/Utf16.h"

namespace tavero::store::text {

std::string textFromFileBytes(std::string_view bytes) {
    if (const auto order = detectUtf16(bytes)) {
        return windows1252FromUtf16(bytes, *order);
    }
    return std::string(bytes);
}

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    // A directory opens like a file on some systems and then reads as empty.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return textFromFileBytes(bytes);
}

}  // namespace tavero::store::text
