// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavero::scpi {

/// A command header as instruments document it, e.g. "[SOURce#]:FREQuency:STARt": nodes
/// separated by ":", the upper-case letters the short form, the whole the long form, a node in
/// brackets optional, "#" an optional numeric suffix that may only be 1.
class HeaderPattern {
public:
    explicit HeaderPattern(std::string_view pattern);

    /// Whether the upper-cased header nodes name this command.
    bool matches(std::span<const std::string> nodes) const;

private:
    struct Node {
        std::string shortForm;
        std::string longForm;
        bool optional;
        bool numbered;
    };

    bool matchesFrom(std::size_t patternIndex, std::span<const std::string> nodes) const;
    static bool nodeMatches(const Node& node, std::string_view mnemonic);

    std::vector<Node> nodes_;
};

/// Whether `text` (any case) is the short or the long form of `name` written as above, e.g.
/// "MINimum".
bool mnemonicMatches(std::string_view name, std::string_view text);

}  // namespace tavero::scpi
