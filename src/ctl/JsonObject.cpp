// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/JsonObject.h"

#include <cstddef>

namespace tavero::ctl {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

/// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when it is
/// malformed: a stray continuation byte, a sequence cut short, overlong, a surrogate or
/// beyond U+10FFFF.
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char least = 0x80;  // the bounds of the second byte rule out overlong forms,
    unsigned char most = 0xBF;   // surrogates and code points beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        least = lead == 0xE0 ? 0xA0 : 0x80;
        most = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        least = lead == 0xF0 ? 0x90 : 0x80;
        most = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < least || byte(1) > most) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void appendEscaped(std::string& out, char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    } else {
        out += c;
    }
}

}  // namespace

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    while (!utf8.empty()) {
        const std::size_t length = sequenceLength(utf8);
        if (length == 0) {
            out += kReplacementCharacter;
            utf8.remove_prefix(1);
        } else if (length == 1) {
            appendEscaped(out, utf8.front());
            utf8.remove_prefix(1);
        } else {
            out += utf8.substr(0, length);
            utf8.remove_prefix(length);
        }
    }
    out += '"';
    return out;
}

void JsonObject::addKey(std::string_view key) {
    if (members_.size() > 1) {
        members_ += ',';
    }
    members_ += jsonString(key);
    members_ += ':';
}

void JsonObject::addInteger(std::string_view key, std::int64_t value) {
    addKey(key);
    members_ += std::to_string(value);
}

void JsonObject::addNumber(std::string_view key, std::string_view number) {
    addKey(key);
    members_ += number;
}

void JsonObject::addString(std::string_view key, std::string_view utf8) {
    addKey(key);
    members_ += jsonString(utf8);
}

}  // namespace tavero::ctl
