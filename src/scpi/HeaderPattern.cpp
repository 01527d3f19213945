// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/HeaderPattern.h"

namespace tavero::scpi {

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string shortFormOf(std::string_view name) {
    std::string form;
    for (const char c : name) {
        if (!(c >= 'a' && c <= 'z')) {
            form += c;
        }
    }
    return form;
}

std::string upperCase(std::string_view text) {
    std::string result;
    for (const char c : text) {
        result += upper(c);
    }
    return result;
}

}  // namespace

HeaderPattern::HeaderPattern(std::string_view pattern) {
    while (!pattern.empty()) {
        const std::size_t end = pattern.find(':');
        std::string_view node = pattern.substr(0, end);
        pattern = end == std::string_view::npos ? std::string_view{} : pattern.substr(end + 1);
        const bool optional = node.starts_with('[');
        if (optional) {
            node = node.substr(1, node.size() - 2);
        }
        const bool numbered = node.ends_with('#');
        if (numbered) {
            node.remove_suffix(1);
        }
        nodes_.push_back({shortFormOf(node), upperCase(node), optional, numbered});
    }
}

bool HeaderPattern::matches(std::span<const std::string> nodes) const {
    return matchesFrom(0, nodes);
}

bool HeaderPattern::matchesFrom(std::size_t patternIndex,
                                std::span<const std::string> nodes) const {
    if (patternIndex == nodes_.size()) {
        return nodes.empty();
    }
    const Node& node = nodes_[patternIndex];
    if (!nodes.empty() && nodeMatches(node, nodes.front()) &&
        matchesFrom(patternIndex + 1, nodes.subspan(1))) {
        return true;
    }
    return node.optional && matchesFrom(patternIndex + 1, nodes);
}

bool HeaderPattern::nodeMatches(const Node& node, std::string_view mnemonic) {
    if (node.numbered && mnemonic.ends_with('1')) {
        mnemonic.remove_suffix(1);
    }
    return mnemonic == node.shortForm || mnemonic == node.longForm;
}

bool mnemonicMatches(std::string_view name, std::string_view text) {
    const std::string given = upperCase(text);
    return given == shortFormOf(name) || given == upperCase(name);
}

}  // namespace tavero::scpi
