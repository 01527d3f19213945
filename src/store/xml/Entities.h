// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace tavero::store::xml {

/// The length of `text` with the five XML escapes applied: & " ' < > become &amp; &quot; &apos;
/// &lt; &gt;; every other byte is kept.
std::size_t escapedSize(std::string_view text);

/// Writes `text` escaped to `out`, which has room for escapedSize(text) bytes; gives the end.
char* copyEscaped(char* out, std::string_view text);

/// An ampersand that starts none of the five entities.
struct UnknownEntity {
    std::size_t offset;  ///< of the ampersand, in the text that was decoded
    std::string
        reference;  ///< what follows it, up to and including the first ';', at most 11 bytes
};

/// `raw` with the five entities replaced (letter case does not matter), or the first ampersand
/// that starts none of them. No other reference is known, numeric ones included.
std::variant<std::string, UnknownEntity> decodeEntities(std::string_view raw);

}  // namespace tavero::store::xml
