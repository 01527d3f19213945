// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::model {

/// How a field's text is read.
enum class Reading : std::uint8_t {
    /// Like atof with "," as the decimal point, scaled to the stored unit and truncated toward
    /// zero.
    kDecimal,
    /// Like atoi: the digits up to the first other character.
    kInteger,
};

/// A field of the record as the window's dialogs show it and read what is typed into it: its
/// limits and grid are the field's rules, the window's policy refuses a value off the grid.
struct TypedField {
    std::string_view key;  ///< the field's key in settingsFields()
    Reading reading = Reading::kDecimal;
    double scale = 1.0;             ///< stored units per shown unit: 100 for 0.01 Hz shown in Hz
    int decimals = 0;               ///< digits after the point when shown
    std::string_view refusal = {};  ///< the message that refuses a typed value

    /// The stored value the text stands for, or nothing when it is refused. The range is tested
    /// on the whole reading, so a value beyond the stored field's width never wraps into range.
    std::optional<std::int64_t> accept(std::string_view text) const;
    /// A stored value as the field shows it.
    std::string show(std::int64_t stored) const;
};

}  // namespace tavero::model
