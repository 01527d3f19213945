// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/LoadResult.h"

#include <array>
#include <cstddef>

namespace tavero::store::xml {

namespace {

constexpr std::array<std::string_view, 16> kTexts = {
    "No error",
    "Warning: Unmatched end tag",
    "Error: No XML data",
    "Error: First token not start tag",
    "Error: Missing start tag name",
    "Error: Missing end tag name",
    "Error: Unmatched quote",
    "Error: Unmatched end tag",
    "Error: Unexpected token found",
    "Error: Invalid tag found",
    "Error: No elements found",
    "Error: File not found",
    "Error: First Tag not found",
    "Error: Unknown entity",
    "Error: Nesting too deep",
    "Error: More than 1000000 elements",
};

}  // namespace

std::string_view LoadCodeText(LoadCode code) {
    const auto index = static_cast<std::size_t>(code);
    return index < kTexts.size() ? kTexts[index] : "Unknown";
}

}  // namespace tavero::store::xml
