// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/AttributeConversions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/NumberText.h"

namespace tavero::store {

namespace {

/// White space as the C library's conversions skip it.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Skips leading white space and takes an optional sign; true for a minus.
bool takeSign(std::string_view& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    text.remove_prefix(static_cast<std::size_t>(first - text.begin()));
    if (text.empty() || (text.front() != '+' && text.front() != '-')) {
        return false;
    }
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

/// A number without fraction or exponent, read exactly: through a double it would lose digits
/// beyond 2^53, and a 64-bit field written to a file would not read back the same.
std::optional<std::int64_t> wholeNumber(std::string_view text, bool negative) {
    const auto end = std::find_if_not(text.begin(), text.end(), isDigit);
    if (end == text.begin() || (end != text.end() && (*end == '.' || *end == 'e' || *end == 'E'))) {
        return std::nullopt;
    }
    constexpr std::uint64_t kBeyondRange = std::uint64_t{1} << 63;
    std::uint64_t magnitude = 0;
    for (auto it = text.begin(); it != end; ++it) {
        const auto digit = static_cast<std::uint64_t>(*it - '0');
        magnitude = magnitude > kBeyondRange / 10 ? kBeyondRange
                                                  : std::min(magnitude * 10 + digit, kBeyondRange);
    }
    if (magnitude == kBeyondRange) {
        return negative ? std::numeric_limits<std::int64_t>::min()
                        : std::numeric_limits<std::int64_t>::max();
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

}  // namespace

std::int64_t numberFromText(std::string_view text) {
    std::string_view digits = text;
    const bool negative = takeSign(digits);
    // "inf" and "nan" hold no digits: a hand-edited value must not read as a limit.
    if (digits.empty() || (!isDigit(digits.front()) && digits.front() != '.')) {
        return 0;
    }
    if (const auto whole = wholeNumber(digits, negative)) {
        return *whole;
    }
    return truncateToInt64(readLeadingNumber(text));
}

std::int32_t integerFromText(std::string_view text) {
    return readLeadingInteger(text);
}

std::int64_t truncateToInt64(double value) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kTwoToThe63) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value < -kTwoToThe63) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(value);
}

}  // namespace tavero::store
