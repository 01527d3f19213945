// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/AsciiText.h"

#include <algorithm>
#include <array>

namespace tavero::scpi {

namespace {

struct Transliteration {
    std::string_view utf8;
    std::string_view ascii;
};

constexpr std::array<Transliteration, 7> kGermanLetters = {{
    {"\xC3\xA4", "ae"},
    {"\xC3\xB6", "oe"},
    {"\xC3\xBC", "ue"},
    {"\xC3\x84", "Ae"},
    {"\xC3\x96", "Oe"},
    {"\xC3\x9C", "Ue"},
    {"\xC3\x9F", "ss"},
}};

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7F;
}

void appendEscaped(std::string& out, char c) {
    constexpr std::string_view kHexDigits = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHexDigits[byte >> 4U];
    out += kHexDigits[byte & 0xFU];
}

}  // namespace

std::string escapedClientBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        if (isPrintable(c)) {
            out += c;
        } else {
            appendEscaped(out, c);
        }
    }
    return out;
}

std::string asciiAnswer(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto* letter =
            std::find_if(kGermanLetters.begin(), kGermanLetters.end(),
                         [text](const Transliteration& t) { return text.starts_with(t.utf8); });
        if (letter != kGermanLetters.end()) {
            out += letter->ascii;
            text.remove_prefix(letter->utf8.size());
            continue;
        }
        if (isPrintable(text.front()) || text.front() == '\n') {
            out += text.front();
        } else {
            appendEscaped(out, text.front());
        }
        text.remove_prefix(1);
    }
    return out;
}

}  // namespace tavero::scpi
