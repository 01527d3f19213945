// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/Parameters.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "scpi/HeaderPattern.h"
#include "scpi/ScpiError.h"

namespace tavero::scpi {

namespace {

struct Suffix {
    Unit unit;
    std::string_view text;  ///< upper case
    double scale;           ///< base units per suffix unit
};

// SCPI reads "M" before a hertz suffix as mega and before any other as milli.
constexpr std::array<Suffix, 17> kSuffixes = {{
    {Unit::kHertz, "HZ", 1.0},
    {Unit::kHertz, "KHZ", 1e3},
    {Unit::kHertz, "MHZ", 1e6},
    {Unit::kHertz, "MAHZ", 1e6},
    {Unit::kHertz, "GHZ", 1e9},
    {Unit::kVolt, "V", 1.0},
    {Unit::kVolt, "MV", 1e-3},
    {Unit::kVolt, "UV", 1e-6},
    {Unit::kVolt, "VPP", 1.0},
    {Unit::kVolt, "MVPP", 1e-3},
    {Unit::kSecond, "S", 1.0},
    {Unit::kSecond, "MS", 1e-3},
    {Unit::kSecond, "US", 1e-6},
    {Unit::kSecond, "KS", 1e3},
    {Unit::kDegree, "DEG", 1.0},
    {Unit::kPercent, "PCT", 1.0},
    {Unit::kPercent, "%", 1.0},
}};

struct NamedValue {
    std::string_view name;
    Numeric::Kind kind;
};

constexpr std::array<NamedValue, 3> kNamedValues = {{
    {"MINimum", Numeric::Kind::kMinimum},
    {"MAXimum", Numeric::Kind::kMaximum},
    {"DEFault", Numeric::Kind::kDefault},
}};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The length of the decimal number at the start of `text`, or 0.
std::size_t numberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        }
    }
    if (digits == 0) {
        return 0;
    }
    // IEEE 488.2 allows white space on both sides of the E.
    std::size_t e = i;
    while (e < text.size() && text[e] == ' ') {
        ++e;
    }
    if (e < text.size() && (text[e] == 'E' || text[e] == 'e')) {
        std::size_t j = e + 1;
        while (j < text.size() && text[j] == ' ') {
            ++j;
        }
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

std::string upperCase(std::string_view text) {
    std::string result;
    for (const char c : text) {
        result += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return result;
}

double suffixScale(std::string_view suffix, Unit unit) {
    const std::string given = upperCase(suffix);
    for (const Suffix& s : kSuffixes) {
        if (s.unit == unit && s.text == given) {
            return s.scale;
        }
    }
    throw ScpiError(kInvalidSuffix, std::string(suffix));
}

}  // namespace

std::string_view unitSymbol(Unit unit) {
    switch (unit) {
        case Unit::kHertz:
            return " Hz";
        case Unit::kVolt:
            return " V";
        case Unit::kSecond:
            return " s";
        case Unit::kDegree:
            return " deg";
        case Unit::kPercent:
            return " %";
        case Unit::kNone:
            break;
    }
    return "";
}

Numeric readNumeric(std::string_view parameter, Unit unit) {
    for (const NamedValue& named : kNamedValues) {
        if (mnemonicMatches(named.name, parameter)) {
            return {named.kind, 0.0};
        }
    }
    const std::size_t length = numberLength(parameter);
    if (length == 0) {
        throw ScpiError(kDataTypeError, "a number is expected");
    }
    std::string digits;
    for (const char c : parameter.substr(0, length)) {
        if (c != ' ' && c != '+') {
            digits += c;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        const bool tiny =
            digits.find("e-") != std::string::npos || digits.find("E-") != std::string::npos;
        value = tiny ? 0.0 : std::copysign(HUGE_VAL, digits.front() == '-' ? -1.0 : 1.0);
    } else if (error != std::errc() || end != digits.data() + digits.size()) {
        throw ScpiError(kDataTypeError, "a number is expected");
    }
    std::string_view suffix = parameter.substr(length);
    while (!suffix.empty() && suffix.front() == ' ') {
        suffix.remove_prefix(1);
    }
    if (!suffix.empty()) {
        value *= suffixScale(suffix, unit);
    }
    return {Numeric::Kind::kValue, value};
}

bool readBoolean(std::string_view parameter) {
    if (mnemonicMatches("ON", parameter)) {
        return true;
    }
    if (mnemonicMatches("OFF", parameter)) {
        return false;
    }
    const Numeric number = readNumeric(parameter, Unit::kNone);
    if (number.kind != Numeric::Kind::kValue) {
        throw ScpiError(kIllegalParameterValue, std::string(parameter));
    }
    return std::fabs(number.value) >= 0.5;  // rounded to a whole number, and that not 0
}

std::size_t readChoice(std::string_view parameter, std::span<const std::string_view> names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (mnemonicMatches(names[i], parameter)) {
            return i;
        }
    }
    throw ScpiError(kIllegalParameterValue, std::string(parameter));
}

std::string formatDecimal(long long value, int decimals) {
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        const auto width = static_cast<std::size_t>(decimals);
        if (digits.size() <= width) {
            digits.insert(0, width + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - width, 1, '.');
    }
    return negative ? "-" + digits : digits;
}

std::string significant(double value, int digits) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::general, digits);
    return std::string(text.data(), result.ptr);
}

}  // namespace tavero::scpi
