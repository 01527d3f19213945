// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/text/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tavero::store::text {

namespace {

// The only range where Windows-1252 differs from Latin-1. Zero marks the unassigned bytes.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

constexpr unsigned kHighControlFirst = 0x80;

constexpr std::array<char, 256> kLowerCase = [] {
    std::array<char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<char>(i);
    }
    const auto lower = [&table](unsigned upper, unsigned lowerByte) {
        table[upper] = static_cast<char>(lowerByte);
    };
    for (unsigned c = 'A'; c <= 'Z'; ++c) {
        lower(c, c + 0x20);
    }
    for (unsigned c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) {  // the multiplication sign has no case
            lower(c, c + 0x20);
        }
    }
    lower(0x8A, 0x9A);  // Š
    lower(0x8C, 0x9C);  // Œ
    lower(0x8E, 0x9E);  // Ž
    lower(0x9F, 0xFF);  // Ÿ
    return table;
}();

unsigned char asByte(char c) {
    return static_cast<unsigned char>(c);
}

// Windows-1252 reaches only the Basic Multilingual Plane: three bytes at most.
void appendUtf8(std::string& out, char32_t cp) {
    const auto put = [&out](std::uint32_t v) { out.push_back(static_cast<char>(v)); };
    const auto value = static_cast<std::uint32_t>(cp);
    if (value < 0x80) {
        put(value);
    } else if (value < 0x800) {
        put(0xC0 | (value >> 6));
        put(0x80 | (value & 0x3F));
    } else {
        put(0xE0 | (value >> 12));
        put(0x80 | ((value >> 6) & 0x3F));
        put(0x80 | (value & 0x3F));
    }
}

struct Decoded {
    char32_t codePoint;  ///< kMalformed if the bytes are no valid UTF-8
    std::size_t length;  ///< bytes taken, at least 1
};

constexpr char32_t kMalformed = 0xFFFFFFFF;

// Takes the longest start of a sequence that is still valid, so one malformed part gives one '?'.
Decoded decodeUtf8(std::string_view text, std::size_t at) {
    const unsigned lead = asByte(text[at]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        value = lead & 0x07;
    } else {
        return {kMalformed, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size() || (asByte(text[at + i]) & 0xC0) != 0x80) {
            return {kMalformed, i};
        }
        value = (value << 6) | (asByte(text[at + i]) & 0x3Fu);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (value < minimum || value > 0x10FFFF || surrogate) {
        return {kMalformed, length};
    }
    return {value, length};
}

}  // namespace

char32_t codePointFromWindows1252(char byte) {
    const unsigned b = asByte(byte);
    if (b < kHighControlFirst || b >= kHighControlFirst + kHighControlRange.size()) {
        return b;
    }
    const char32_t mapped = kHighControlRange[b - kHighControlFirst];
    return mapped != 0 ? mapped : b;
}

char windows1252FromCodePoint(char32_t codePoint) {
    if (codePoint < kHighControlFirst || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        const char32_t mapped = kHighControlRange[i];
        const char32_t byte = static_cast<char32_t>(kHighControlFirst + i);
        if (mapped == codePoint || (mapped == 0 && byte == codePoint)) {
            return static_cast<char>(byte);
        }
    }
    return '?';
}

std::string utf8FromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        appendUtf8(out, codePointFromWindows1252(c));
    }
    return out;
}

std::string windows1252FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Decoded d = decodeUtf8(text, at);
        out.push_back(d.codePoint == kMalformed ? '?' : windows1252FromCodePoint(d.codePoint));
        at += d.length;
    }
    return out;
}

std::vector<std::string> charactersOutsideWindows1252(std::string_view text) {
    std::vector<std::string> outside;
    for (std::size_t at = 0; at < text.size();) {
        const Decoded d = decodeUtf8(text, at);
        if (d.codePoint == kMalformed || windows1252FromCodePoint(d.codePoint) == '?') {
            std::string character =
                d.codePoint == kMalformed ? "\xEF\xBF\xBD" : std::string(text.substr(at, d.length));
            if (std::find(outside.begin(), outside.end(), character) == outside.end()) {
                outside.push_back(std::move(character));
            }
        }
        at += d.length;
    }
    return outside;
}

char toLower(char byte) {
    return kLowerCase[asByte(byte)];
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (toLower(text[i]) != toLower(prefix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tavero::store::text
