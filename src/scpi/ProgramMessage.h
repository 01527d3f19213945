// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavero::scpi {

/// One command or query of a line, as written.
struct ProgramUnit {
    std::vector<std::string> nodes;  ///< header mnemonics in upper case, suffix digits kept
    bool common = false;             ///< a `*` command; its one node holds the name without `*`
    bool rooted = false;             ///< the header started with `:`
    bool query = false;
    std::vector<std::string> parameters;  ///< trimmed; strings keep their quotes
};

/// The units of one line, split at the `;` outside quoted strings. An unterminated string is
/// left in the last unit, whose parsing then reports it.
std::vector<std::string_view> splitUnits(std::string_view line);

/// Parses one unit; throws ScpiError (syntax error) for a malformed one. An empty unit gives
/// a unit without nodes.
ProgramUnit parseUnit(std::string_view text);

/// The text of a quoted string parameter (`"..."` or `'...'`, the quote doubled inside);
/// throws ScpiError when the parameter is not one.
std::string unquote(std::string_view parameter);

}  // namespace tavero::scpi
