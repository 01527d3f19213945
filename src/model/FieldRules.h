// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// How a value off its field's grid is taken: the two front ends disagree, and each names its
/// choice.
enum class GridPolicy : std::uint8_t {
    /// The window's: a typed frequency must lie on the 0.25 Hz grid, or it is refused.
    kRefuse,
    /// The network's: a value is taken at the nearest grid value, as instruments round.
    kRound,
};

/// The unit a field is held in.
enum class StoredUnit : std::uint8_t {
    kCentiHertz,      ///< 0.01 Hz
    kDeciHertz,       ///< 0.1 Hz
    kCentiKilohertz,  ///< 0.01 kHz (10 Hz)
    kMillivolt,       ///< mV peak-to-peak
    kDegree,
    kPercent,
    kBits,  ///< a bit set or a choice
};

/// What a front end may set a field of the record to. The one place the limits are written.
struct FieldRule {
    std::string_view key;  ///< the profile-file key
    char command;          ///< the letter of the command that carries the field
    std::int64_t minimum;  ///< in the stored unit
    std::int64_t maximum;  ///< in the stored unit
    std::int64_t grid;     ///< taken values are multiples of it
    StoredUnit unit;

    bool inRange(std::int64_t value) const { return value >= minimum && value <= maximum; }
    bool onGrid(std::int64_t value) const { return value % grid == 0; }
    /// `value` as the field takes it under `policy`; nothing when it is out of range, or off the
    /// grid under kRefuse. Rounding never leaves the range.
    std::optional<std::int64_t> admit(std::int64_t value, GridPolicy policy) const;
};

/// The rule of the field at `field` in record order.
const FieldRule& fieldRule(std::size_t field);
/// The rule of the field with this key; the key must be one of the record's.
const FieldRule& fieldRule(std::string_view key);

}  // namespace tavero::model
