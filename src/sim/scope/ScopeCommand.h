// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavero::sim {

/// One program message as a simulated scope reads it: its header and what follows it.
struct ScopeCommand {
    std::string header;  ///< without the "?" of a query
    bool query = false;
    std::string parameters;    ///< after the first blank, without blanks around it
    std::vector<int> numbers;  ///< the numbers of the header's "#" places, once matched

    /// Whether the header names `pattern`, whose nodes are written as SCPI manuals write them:
    /// "CHANnel#:SCALe" takes ":CHAN1:SCAL", ":channel1:scale" and the like, "C#-C#:MEAD" takes
    /// "C1-C2:MEAD". Capitals are the short form, small letters the rest of the long form, "#"
    /// a number, which goes to `numbers`.
    bool is(std::string_view pattern);
    /// The parameter as a number, with a unit and prefix after it as Siglent scopes take them
    /// ("500MV", "1.00E-03S", "10US").
    std::optional<double> number() const;
    /// Whether the parameter is `word`, in any letter case.
    bool parameterIs(std::string_view word) const;
};

ScopeCommand readScopeCommand(std::string_view line);

/// `value` as "1.000000e+00" (Rigol's answers).
std::string scientific6(double value);
/// `value` as "1.00E+00" (Siglent's answers).
std::string scientific2(double value);

}  // namespace tavero::sim
