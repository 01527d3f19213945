// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavero::store::text {

enum class Utf16Order { LittleEndian, BigEndian };

/// Whether file bytes are UTF-16, and in which byte order. A byte-order mark decides; without one,
/// the text counts as UTF-16 when more than half of the first 10000 bytes' code units (pairs that
/// are not both zero) have exactly one zero byte, always on the same side. Windows-1252 text
/// holds no zero byte at all, so it is never taken for UTF-16.
std::optional<Utf16Order> detectUtf16(std::string_view bytes);

/// UTF-16 bytes as Windows-1252 text. A leading byte-order mark is dropped; characters without a
/// place in Windows-1252, and unpaired surrogates, become '?', which sets `*charactersLost` when
/// given; an odd last byte is ignored.
std::string windows1252FromUtf16(std::string_view bytes, Utf16Order order,
                                 bool* charactersLost = nullptr);

}  // namespace tavero::store::text
