// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::store {

/// The "number" reading of an attribute value: a decimal floating-point number after optional
/// white space and sign (digits, fraction, exponent), read as far as it goes, then truncated
/// toward zero as `truncateToInt64` does. No digits read as 0, and so do "inf" and "nan". A whole
/// number without fraction or exponent is read exactly, with all 64 bits. The reading does not
/// depend on the C locale's decimal point.
std::int64_t numberFromText(std::string_view text);

/// The "integer" reading of an attribute value: a decimal integer after optional white space and
/// sign, read up to the first other character; no digits read as 0, and values beyond 32 bits
/// saturate at the 32-bit limits.
std::int32_t integerFromText(std::string_view text);

/// Truncates toward zero. NaN gives 0; values beyond the 64-bit range, infinities included,
/// give the nearer limit.
std::int64_t truncateToInt64(double value);

}  // namespace tavero::store
