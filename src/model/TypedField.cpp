// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TypedField.h"

#include "core/NumberText.h"
#include "model/FieldRules.h"

namespace tavero::model {

std::optional<std::int64_t> TypedField::accept(std::string_view text) const {
    const std::optional<std::int64_t> value =
        reading == Reading::kDecimal
            ? readScaledNumber(text, scale)
            : std::optional<std::int64_t>{readLeadingInteger(withDecimalPoints(text))};
    if (!value) {
        return std::nullopt;
    }
    return fieldRule(key).admit(*value, GridPolicy::kRefuse);
}

std::string TypedField::show(std::int64_t stored) const {
    return formatFixed(static_cast<double>(stored) / scale, decimals);
}

}  // namespace tavero::model
