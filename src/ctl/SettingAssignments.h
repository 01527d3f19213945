// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/GeneratorSettings.h"

namespace tavero::ctl {

/// One `KEY=VALUE` of the command line: a settings field (by its index in record order) and an
/// integer in the field's unit.
struct SettingAssignment {
    std::size_t field;
    std::int64_t value;
};

/// The range the window allows for a field (by its index in record order), in the field's unit.
struct FieldRange {
    std::int64_t min;
    std::int64_t max;
    bool onGrid;  ///< a multiple of 25 (0.25 Hz)
};
FieldRange fieldRange(std::size_t field);

/// A stored profile's settings made fit to send: each field outside the range the window allows
/// it takes the empty profile's value, as a field the file does not hold does, so that a
/// hand-edited value such as a `Frequenzhub` of 2^63-1 never reaches the generator. Values off
/// the 0.25 Hz grid stay, as the window's PLL stage computes such frequencies. Gives the indexes
/// of the fields it replaced, in record order.
std::vector<std::size_t> replaceRefusedFields(GeneratorSettings& settings);

/// Refuses a value outside the field's own range (UsageError).
void checkAssignment(const SettingAssignment& assignment);

/// Parses `KEY=VALUE` with a profile-file key and a decimal integer, and refuses a value outside
/// the field's own range (UsageError). Needs no generator.
SettingAssignment parseAssignment(std::string_view text);

/// Parses one or more assignments, each key at most once; throws UsageError.
std::vector<SettingAssignment> parseAssignments(const std::vector<std::string>& texts);

/// Applies parsed assignments to `settings` as the window would and returns the command letters
/// to send, each once, in sending order. Like the window, a new limit or PLL stage moves
/// `frequenz` (and a PLL offset `minimalfrequenz`) along when they are not given; what the
/// window would refuse or ask about is refused (UsageError). `settings` is unchanged then.
std::string applyAssignments(GeneratorSettings& settings,
                             const std::vector<SettingAssignment>& assignments);

}  // namespace tavero::ctl
