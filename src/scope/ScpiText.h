// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavero::scope {

/// The number `text` starts with (after blanks and a "+"), in any form scopes write them:
/// "1.000000e+00", "+1.00E+00V", "45.00degree". Nothing when it starts with none.
std::optional<double> leadingNumber(std::string_view text);

/// A measurement's value from the number after `marker` in an answer ("C1:PAVA PKPK,1.2E+00V"
/// after "PKPK,"), or from the answer's last field (after its last blank or comma) when the
/// marker is empty. Nothing for an answer without a number there ("****") and for the invalid
/// value scopes give when they have nothing to measure (9.9E37).
std::optional<double> measurementValue(std::string_view answer, std::string_view marker = {});

/// `value` in the shortest text that reads back exactly, whatever the locale.
std::string scpiNumber(double value);

}  // namespace tavero::scope
