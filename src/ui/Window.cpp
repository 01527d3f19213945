// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Window.h"

#include <cctype>
#include <limits>

namespace tavero::ui {
namespace {

int parseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    std::int64_t value = 0;
    bool anyDigit = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
        anyDigit = true;
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<int>::max()} + 1) {
            return 0;
        }
    }
    value = negative ? -value : value;
    if (!anyDigit || value > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(value);
}

}  // namespace

int Window::textAsInt(int id) const {
    return parseInt(text(id));
}

void Window::setTextFromInt(int id, std::int64_t value) {
    setText(id, std::to_string(value));
}

}  // namespace tavero::ui
