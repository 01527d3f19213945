// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TypedQuantity.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>

namespace tavero::model {

namespace {

/// A unit and how many decades it lies above the field's shown unit.
struct UnitName {
    std::string_view name;
    int decades;
};

constexpr std::array<UnitName, 6> kHertzUnits = {
    {{"", 0}, {"Hz", 0}, {"kHz", 3}, {"k", 3}, {"MHz", 6}, {"M", 6}}};
constexpr std::array<UnitName, 6> kKilohertzUnits = {
    {{"", 0}, {"Hz", -3}, {"kHz", 0}, {"k", 0}, {"MHz", 3}, {"M", 3}}};
constexpr std::array<UnitName, 3> kMillivoltUnits = {{{"", 0}, {"mV", 0}, {"V", 3}}};
constexpr std::array<UnitName, 1> kNoUnits = {{{"", 0}}};

std::span<const UnitName> unitsOf(ShownUnit unit) {
    switch (unit) {
        case ShownUnit::kHertz:
            return kHertzUnits;
        case ShownUnit::kKilohertz:
            return kKilohertzUnits;
        case ShownUnit::kMillivolt:
            return kMillivoltUnits;
        case ShownUnit::kNone:
            break;
    }
    return kNoUnits;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::optional<std::string> plainNumberText(std::string_view typed, ShownUnit unit) {
    std::string_view rest = trimmed(typed);
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        rest.remove_prefix(1);
    }
    std::string digits;
    std::size_t pointAt = std::string::npos;
    std::size_t i = 0;
    for (; i < rest.size(); ++i) {
        if (isDigit(rest[i])) {
            digits += rest[i];
        } else if ((rest[i] == '.' || rest[i] == ',') && pointAt == std::string::npos) {
            pointAt = digits.size();
        } else {
            break;
        }
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    const std::string_view suffix = trimmed(rest.substr(i));
    const UnitName* found = nullptr;
    for (const UnitName& name : unitsOf(unit)) {
        if (name.name == suffix) {
            found = &name;
        }
    }
    if (found == nullptr) {
        return std::nullopt;
    }
    // The decimal point moves by the unit's decades; zeros fill in where it moves past the digits.
    long point =
        static_cast<long>(pointAt == std::string::npos ? digits.size() : pointAt) + found->decades;
    if (point < 0) {
        digits.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    if (static_cast<std::size_t>(point) > digits.size()) {
        digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
    }
    std::string whole = digits.substr(0, static_cast<std::size_t>(point));
    std::string fraction = digits.substr(static_cast<std::size_t>(point));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    std::string plain = whole.empty() ? "0" : whole;
    if (!fraction.empty()) {
        plain += '.' + fraction;
    }
    if (negative && plain != "0") {
        plain.insert(0, 1, '-');
    }
    return plain;
}

}  // namespace tavero::model
