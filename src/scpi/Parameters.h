// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tavero::scpi {

/// The unit a numeric parameter is given in, which decides the suffixes it takes.
enum class Unit { kNone, kHertz, kVolt, kSecond, kDegree, kPercent };

/// A numeric parameter: a value in the base unit, or one of the named values.
struct Numeric {
    enum class Kind { kValue, kMinimum, kMaximum, kDefault };
    Kind kind = Kind::kValue;
    double value = 0.0;  ///< in the base unit (Hz, V, s, degrees, percent) for kValue
};

/// " Hz", " V" and so on: how a range is written in the unit; nothing for kNone.
std::string_view unitSymbol(Unit unit);

/// Reads a decimal number with optional exponent and unit suffix ("1.5KHZ", "500 mV", "2e3",
/// "1.5 E 3"), or MIN, MAX, DEF in short or long form. A number too large for a double is
/// infinite, for the caller's range check to refuse. Throws ScpiError: data type error for no
/// number, invalid suffix for a suffix the unit does not take.
Numeric readNumeric(std::string_view parameter, Unit unit);

/// ON, OFF or a number (non-zero is on); throws ScpiError.
bool readBoolean(std::string_view parameter);

/// The index of the name in `names` (written like "SINusoid") that `parameter` gives in short
/// or long form; throws ScpiError (illegal parameter value) when none does.
std::size_t readChoice(std::string_view parameter, std::span<const std::string_view> names);

/// `value` in units of 10^-decimals (2 for 0.01 Hz) as a decimal number, written with the
/// point whatever the locale: "1000.25", "-0.50".
std::string formatDecimal(long long value, int decimals);

/// `value` with at most `digits` significant digits and no trailing zeros: "0.303", "10",
/// "1e+300"; whatever the locale.
std::string significant(double value, int digits);

}  // namespace tavero::scpi
