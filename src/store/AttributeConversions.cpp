#include "store/AttributeConversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <system_error>

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

/// Whether a decimal number that std::from_chars found out of range overflowed rather than
/// underflowed: from_chars leaves the value untouched in both cases. The number overflows when
/// the power of ten of its first non-zero digit, plus its exponent, is positive.
bool overflows(std::string_view number) {
    constexpr std::int64_t kExponentCap = 1'000'000'000;
    std::int64_t power = 0;
    bool nonZeroSeen = false;
    bool inFraction = false;
    std::size_t i = 0;
    for (; i < number.size() && (isDigit(number[i]) || number[i] == '.'); ++i) {
        const char c = number[i];
        if (c == '.') {
            inFraction = true;
        } else if (inFraction) {
            if (!nonZeroSeen) {
                --power;
                nonZeroSeen = c != '0';
            }
        } else if (nonZeroSeen) {
            ++power;
        } else {
            nonZeroSeen = c != '0';
        }
    }
    if (!nonZeroSeen) {
        return false;
    }
    std::int64_t exponent = 0;
    std::string_view exponentText = number.substr(std::min(i + 1, number.size()));
    const bool negativeExponent = takeSign(exponentText);
    for (const char c : exponentText) {
        exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    }
    return power + (negativeExponent ? -exponent : exponent) > 0;
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
    const bool negative = takeSign(text);
    // from_chars accepts a minus of its own, which would make "+-1" a number.
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return 0;
    }
    if (const auto whole = wholeNumber(text, negative)) {
        return *whole;
    }
    double magnitude = 0.0;
    const char* const begin = text.data();
    const auto [end, error] = std::from_chars(begin, begin + text.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        const std::string_view number(begin, static_cast<std::size_t>(end - begin));
        magnitude = overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{}) {
        return 0;
    }
    return truncateToInt64(negative ? -magnitude : magnitude);
}

std::int32_t integerFromText(std::string_view text) {
    constexpr std::int64_t kBeyondRange = std::int64_t{1} << 31;
    const bool negative = takeSign(text);
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            break;
        }
        magnitude = std::min(magnitude * 10 + (c - '0'), kBeyondRange);
    }
    return static_cast<std::int32_t>(std::clamp(
        negative ? -magnitude : magnitude, std::int64_t{std::numeric_limits<std::int32_t>::min()},
        std::int64_t{std::numeric_limits<std::int32_t>::max()}));
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
