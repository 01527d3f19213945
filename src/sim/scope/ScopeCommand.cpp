// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/ScopeCommand.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace tavero::sim {

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

/// Matches one node of the text against one form of the pattern's node (small letters left out
/// for the short form); the numbers of "#" places are appended.
bool nodeMatches(std::string_view text, std::string_view pattern, bool longForm,
                 std::vector<int>& numbers) {
    std::size_t at = 0;
    for (const char p : pattern) {
        if (p == '#') {
            const std::size_t begin = at;
            while (at < text.size() && digit(text[at])) {
                ++at;
            }
            int number = 0;
            if (at == begin ||
                std::from_chars(text.data() + begin, text.data() + at, number).ec != std::errc{}) {
                return false;
            }
            numbers.push_back(number);
        } else if (longForm || !std::islower(static_cast<unsigned char>(p))) {
            if (at == text.size() || upper(text[at]) != upper(p)) {
                return false;
            }
            ++at;
        }
    }
    return at == text.size();
}

std::vector<std::string_view> nodes(std::string_view header) {
    if (header.starts_with(':')) {
        header.remove_prefix(1);
    }
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t colon = header.find(':');
        parts.push_back(header.substr(0, colon));
        if (colon == std::string_view::npos) {
            return parts;
        }
        header.remove_prefix(colon + 1);
    }
}

std::string withExponent(double value, int digits) {
    std::array<char, 40> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::scientific, digits)
                         .ptr;
    return std::string(text.data(), end);
}

}  // namespace

bool ScopeCommand::is(std::string_view pattern) {
    const std::vector<std::string_view> textNodes = nodes(header);
    const std::vector<std::string_view> patternNodes = nodes(pattern);
    if (textNodes.size() != patternNodes.size()) {
        return false;
    }
    std::vector<int> found;
    for (std::size_t i = 0; i < textNodes.size(); ++i) {
        const std::size_t before = found.size();
        if (!nodeMatches(textNodes[i], patternNodes[i], false, found)) {
            found.resize(before);
            if (!nodeMatches(textNodes[i], patternNodes[i], true, found)) {
                return false;
            }
        }
    }
    numbers = std::move(found);
    return true;
}

std::optional<double> ScopeCommand::number() const {
    std::string_view text = parameters;
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data()) {
        return std::nullopt;
    }
    std::string unit(end, text.data() + text.size());
    std::transform(unit.begin(), unit.end(), unit.begin(), upper);
    if (unit.ends_with('V') || unit.ends_with('S')) {
        unit.pop_back();
    }
    static constexpr std::array<std::pair<std::string_view, double>, 5> kPrefixes = {
        {{"", 1}, {"M", 1e-3}, {"U", 1e-6}, {"N", 1e-9}, {"K", 1e3}}};
    for (const auto& [prefix, factor] : kPrefixes) {
        if (unit == prefix) {
            return value * factor;
        }
    }
    return std::nullopt;
}

bool ScopeCommand::parameterIs(std::string_view word) const {
    return parameters.size() == word.size() &&
           std::equal(parameters.begin(), parameters.end(), word.begin(),
                      [](char a, char b) { return upper(a) == upper(b); });
}

ScopeCommand readScopeCommand(std::string_view line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.remove_suffix(1);
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) {
        line.remove_prefix(1);
    }
    ScopeCommand command;
    const std::size_t blank = line.find(' ');
    std::string_view header = line.substr(0, blank);
    if (header.ends_with('?')) {
        command.query = true;
        header.remove_suffix(1);
    }
    command.header = header;
    if (blank != std::string_view::npos) {
        std::string_view rest = line.substr(blank + 1);
        while (!rest.empty() && rest.front() == ' ') {
            rest.remove_prefix(1);
        }
        command.parameters = rest;
    }
    return command;
}

std::string scientific6(double value) {
    return withExponent(value, 6);
}

std::string scientific2(double value) {
    std::string text = withExponent(value, 2);
    std::transform(text.begin(), text.end(), text.begin(), upper);
    return text;
}

}  // namespace tavero::sim
