// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/LineSafeText.h"

#include <array>
#include <cstddef>

namespace tavero::ctl {

namespace {

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};

void appendHex(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

}  // namespace

std::string lineSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r' || byte == '\n' || byte == '\t') {
            out += byte == '\r' ? "\\r" : byte == '\n' ? "\\n" : "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            appendHex(out, byte);
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080..U+009F: terminals that take 8-bit controls read U+009B as CSI.
            out += "\\u00";
            appendHex(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tavero::ctl
