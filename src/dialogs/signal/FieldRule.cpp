// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/FieldRule.h"

#include "core/NumberText.h"

namespace tavero::dialogs {

std::optional<std::int64_t> FieldRule::accept(std::string_view text) const {
    const std::optional<std::int64_t> value =
        reading == Reading::kDecimal
            ? readScaledNumber(text, scale)
            : std::optional<std::int64_t>{readLeadingInteger(withDecimalPoints(text))};
    if (!value || *value < minimum || *value > maximum || *value % grid != 0) {
        return std::nullopt;
    }
    return value;
}

std::string FieldRule::show(std::int64_t stored) const {
    return formatFixed(static_cast<double>(stored) / scale, decimals);
}

}  // namespace tavero::dialogs
