// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ScpiText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tavero::scope {

namespace {

/// Scopes answer 9.9E37 for a measurement they cannot make; anything this large is that.
constexpr double kInvalidFloor = 9e37;

}  // namespace

std::optional<double> leadingNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> measurementValue(std::string_view answer, std::string_view marker) {
    std::size_t start = 0;
    if (marker.empty()) {
        const std::size_t separator = answer.find_last_of(" ,");
        start = separator == std::string_view::npos ? 0 : separator + 1;
    } else {
        const std::size_t found = answer.rfind(marker);
        if (found == std::string_view::npos) {
            return std::nullopt;
        }
        start = found + marker.size();
    }
    const std::optional<double> value = leadingNumber(answer.substr(start));
    if (!value || !std::isfinite(*value) || std::abs(*value) >= kInvalidFloor) {
        return std::nullopt;
    }
    return value;
}

std::string scpiNumber(double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

}  // namespace tavero::scope
