// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::dialogs {

/// How a field's text is read.
enum class Reading : std::uint8_t {
    /// Like atof with "," as the decimal point, scaled to the stored unit and truncated toward
    /// zero.
    kDecimal,
    /// Like atoi: the digits up to the first other character.
    kInteger,
};

/// What a typed value must be to be stored, and how a stored value is shown.
struct FieldRule {
    Reading reading = Reading::kDecimal;
    double scale = 1.0;             ///< stored units per shown unit: 100 for 0.01 Hz shown in Hz
    int decimals = 0;               ///< digits after the point when shown
    std::int64_t minimum = 0;       ///< smallest value accepted, in stored units
    std::int64_t maximum = 0;       ///< largest value accepted, in stored units
    std::int64_t grid = 1;          ///< accepted values are multiples of it
    std::string_view refusal = {};  ///< the message that refuses a typed value

    /// The stored value the text stands for, or nothing when it is refused. The range is tested
    /// on the whole reading, so a value beyond the stored field's width never wraps into range.
    std::optional<std::int64_t> accept(std::string_view text) const;
    /// A stored value as the field shows it.
    std::string show(std::int64_t stored) const;
};

}  // namespace tavero::dialogs
