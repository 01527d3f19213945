// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::model {

/// The unit a field shows its value in, which decides the units a value may be typed with.
enum class ShownUnit : std::uint8_t {
    kHertz,      ///< also kHz, k, MHz, M
    kKilohertz,  ///< also Hz, MHz, M
    kMillivolt,  ///< also V
    kNone,       ///< a count or degrees: no unit
};

/// A typed value as a plain decimal number in the field's shown unit, "1500" or "-0.25", when
/// the whole text is one number (an optional sign, digits with at most one decimal comma or
/// point) and an optional unit the field takes, blanks around either; nothing for anything else.
/// Exact: the unit moves the decimal point, nothing is rounded.
std::optional<std::string> plainNumberText(std::string_view typed, ShownUnit unit);

}  // namespace tavero::model
