// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// A value of a stored profile or task list entry that the window would never have set, and
/// the value sent in its place.
struct Replacement {
    enum class Reason : std::uint8_t {
        kOutOfRange,    ///< outside the field's range: the empty profile's value instead
        kOffGrid,       ///< off the 0.25 Hz grid: the nearest value on it instead
        kAboveMaximum,  ///< a Minimalfrequenz above Maximalfrequenz: both the empty profile's
    };
    std::size_t field;    ///< in record order
    std::int64_t stored;  ///< as the file holds it
    std::int64_t sent;
    Reason reason;
};

/// Makes stored settings fit to send, so that a hand-edited value such as a `Frequenzhub` of
/// 2^63-1 or a negative frequency never reaches the generator: every field outside its range,
/// a frequency off the grid (`Frequenz` and `Minimalfrequenz` only without a PLL stage, which
/// puts them off it), and limits in the wrong order are replaced. Gives the replacements in
/// record order.
std::vector<Replacement> makeSendable(GeneratorSettings& settings);

/// "holds KEY=V, which the window refuses; KEY=W of an empty profile is sent instead", and the
/// like for the other reasons: the part of a warning after the name of what holds it.
std::string replacementText(const Replacement& replacement);

}  // namespace tavero::model
