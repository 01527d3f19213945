// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavero {

/// Reads the longest leading decimal number the way the C library's strtod does: leading blanks,
/// an optional sign, digits with an optional point, an optional exponent, or "inf", "infinity",
/// "nan" in any letter case. Text without a number reads as 0. Hexadecimal forms are not read.
double readLeadingNumber(std::string_view text);

/// A typed value as the windows read it: every "," counts as ".", the number is multiplied by
/// `scale` and truncated toward zero. Nothing when the result is not finite or does not fit a
/// signed 64-bit integer, so that no value can wrap into range.
std::optional<std::int64_t> readScaledNumber(std::string_view text, double scale);

/// Reads a leading decimal integer like the C library's atoi (blanks, sign, digits up to the
/// first other character; none reads as 0), saturating at the range of a signed 32-bit integer.
std::int32_t readLeadingInteger(std::string_view text);

/// The text with every "," replaced by ".".
std::string withDecimalPoints(std::string_view text);

/// `value` with `decimals` digits after the point, as printf's "%.Nf" writes it in the C locale,
/// whatever locale the program runs in.
std::string formatFixed(double value, int decimals);

}  // namespace tavero
