// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/text/Utf16.h"

#include <algorithm>
#include <cstddef>

#include "store/text/Windows1252.h"

namespace tavero::store::text {

namespace {

constexpr std::size_t kSampleSize = 10000;
constexpr char16_t kByteOrderMark = 0xFEFF;

char16_t codeUnitAt(std::string_view bytes, std::size_t unit, Utf16Order order) {
    const auto first = static_cast<unsigned char>(bytes[2 * unit]);
    const auto second = static_cast<unsigned char>(bytes[2 * unit + 1]);
    return order == Utf16Order::LittleEndian ? static_cast<char16_t>(first | (second << 8))
                                             : static_cast<char16_t>((first << 8) | second);
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::optional<Utf16Order> detectUtf16(std::string_view bytes) {
    if (bytes.size() >= 2) {
        if (codeUnitAt(bytes, 0, Utf16Order::LittleEndian) == kByteOrderMark) {
            return Utf16Order::LittleEndian;
        }
        if (codeUnitAt(bytes, 0, Utf16Order::BigEndian) == kByteOrderMark) {
            return Utf16Order::BigEndian;
        }
    }
    const std::size_t units = std::min(bytes.size(), kSampleSize) / 2;
    std::size_t nonZeroUnits = 0;
    std::size_t zeroSecond = 0;  // ASCII in little-endian order
    std::size_t zeroFirst = 0;   // ASCII in big-endian order
    for (std::size_t u = 0; u < units; ++u) {
        const bool firstZero = bytes[2 * u] == '\0';
        const bool secondZero = bytes[2 * u + 1] == '\0';
        if (firstZero && secondZero) {
            continue;
        }
        ++nonZeroUnits;
        zeroSecond += secondZero ? 1U : 0U;
        zeroFirst += firstZero ? 1U : 0U;
    }
    if (2 * zeroSecond > nonZeroUnits) {
        return Utf16Order::LittleEndian;
    }
    if (2 * zeroFirst > nonZeroUnits) {
        return Utf16Order::BigEndian;
    }
    return std::nullopt;
}

std::string windows1252FromUtf16(std::string_view bytes, Utf16Order order, bool* charactersLost) {
    const std::size_t units = bytes.size() / 2;
    std::string out;
    out.reserve(units);
    std::size_t u = 0;
    if (units > 0 && codeUnitAt(bytes, 0, order) == kByteOrderMark) {
        u = 1;
    }
    for (; u < units; ++u) {
        const char16_t unit = codeUnitAt(bytes, u, order);
        if (isHighSurrogate(unit) && u + 1 < units &&
            isLowSurrogate(codeUnitAt(bytes, u + 1, order))) {
            ++u;  // a pair stands for one character beyond the code page: one '?'
            out.push_back('?');
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            out.push_back('?');
        } else {
            out.push_back(windows1252FromCodePoint(unit));
            if (out.back() != '?' || unit == u'?') {
                continue;
            }
        }
        if (charactersLost != nullptr) {
            *charactersLost = true;
        }
    }
    return out;
}

}  // namespace tavero::store::text
