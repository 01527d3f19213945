// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavero::store::text {

/// The Unicode code point of a Windows-1252 byte. The five bytes the code page leaves
/// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same number, as
/// Windows does, so that every byte survives a trip through UTF-8.
char32_t codePointFromWindows1252(char byte);

/// The Windows-1252 byte of a code point, or '?' where the code page has no place for it.
char windows1252FromCodePoint(char32_t codePoint);

std::string utf8FromWindows1252(std::string_view text);

/// Characters without a place in Windows-1252 become '?', and so does each malformed part of the
/// UTF-8 (a byte that cannot start a sequence, or a sequence cut short, overlong or a surrogate).
std::string windows1252FromUtf8(std::string_view text);

/// The characters of the UTF-8 `text` that windows1252FromUtf8 turns into '?', each once, in
/// the order they first appear; a malformed part shows as U+FFFD.
std::vector<std::string> charactersOutsideWindows1252(std::string_view text);

/// The lower-case form of a Windows-1252 letter (ASCII, the Latin-1 letters, Š, Œ, Ž, Ÿ); every
/// other byte, ß included, stays as it is.
char toLower(char byte);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace tavero::store::text
