// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavero {

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWithWord(std::string_view text, std::string_view word) {
    return text.size() >= word.size() &&
           std::equal(word.begin(), word.end(), text.begin(), [](char w, char t) {
               return w == std::tolower(static_cast<unsigned char>(t));
           });
}

/// The length of the leading run of decimal digits.
std::size_t digitRun(std::string_view text, std::size_t from) {
    std::size_t at = from;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at - from;
}

/// The power of ten of a decimal number's first significant digit, e.g. 2 for "123.4e0" and
/// -3 for "0.001"; only its sign matters, for numbers beyond double's range.
double decimalMagnitude(std::string_view number) {
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    double exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = number.substr(exponentAt + 1);
        const bool negativeExponent = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
            digits.remove_prefix(1);
        }
        for (const char c : digits) {
            exponent = exponent * 10 + (c - '0');
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_not_of("-0.");
    if (firstSignificant == std::string_view::npos) {
        return -std::numeric_limits<double>::infinity();
    }
    const double position = firstSignificant < point
                                ? static_cast<double>(point - firstSignificant - 1)
                                : -static_cast<double>(firstSignificant - point);
    return exponent + position;
}

}  // namespace

double readLeadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) {
        ++start;
    }
    std::size_t at = start;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::string_view rest = text.substr(at);
    if (startsWithWord(rest, "inf")) {
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (startsWithWord(rest, "nan")) {
        return std::numeric_limits<double>::quiet_NaN();
    }

    const std::size_t integerDigits = digitRun(text, at);
    at += integerDigits;
    std::size_t fractionDigits = 0;
    if (at < text.size() && text[at] == '.') {
        fractionDigits = digitRun(text, at + 1);
        if (integerDigits + fractionDigits > 0) {
            at += 1 + fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return 0.0;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentDigits = digitRun(text, exponent);
        if (exponentDigits > 0) {
            at = exponent + exponentDigits;
        }
    }

    // from_chars reads the same grammar without locale, but takes no leading '+'.
    std::size_t first = start;
    if (text[first] == '+') {
        ++first;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + first, text.data() + at, value);
    if (error == std::errc::result_out_of_range) {
        // Beyond double's range: strtod gives infinity for a huge and 0 for a tiny magnitude.
        const double magnitude = decimalMagnitude(text.substr(first, at - first));
        const double limit = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -limit : limit;
    }
    return value;
}

std::optional<std::int64_t> readScaledNumber(std::string_view text, double scale) {
    const double scaled = std::trunc(readLeadingNumber(withDecimalPoints(text)) * scale);
    // 2^63 is exactly representable; every finite double below it in magnitude fits.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(scaled) || scaled >= kLimit || scaled < -kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(scaled);
}

std::int32_t readLeadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = std::min<std::int64_t>(value * 10 + (text[at] - '0'), kMax + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -kMax - 1, kMax));
}

std::string withDecimalPoints(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), ',', '.');
    return result;
}

std::string formatFixed(double value, int decimals) {
    // to_chars takes no locale: the point stays a point even where the user's locale writes a
    // comma. The largest double has 309 integer digits.
    std::string text(std::size_t{320} + static_cast<std::size_t>(std::max(decimals, 0)), '\0');
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, decimals);
    text.resize(error == std::errc{} ? static_cast<std::size_t>(end - text.data()) : 0);
    return text;
}

}  // namespace tavero
