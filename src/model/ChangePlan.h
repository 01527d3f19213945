// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "core/GeneratorSettings.h"
#include "model/Edit.h"

namespace tavero::model {

/// A field (by its index in record order) and a value in the field's unit.
struct FieldValue {
    std::size_t field;
    std::int64_t value;
};

/// A change the window would refuse or ask about; what() says why, in English.
class ChangeRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The edit that sets `values` (each already within its field's range) on `current` as the
/// window would: a new limit or PLL stage moves `frequenz` (and a PLL offset `minimalfrequenz`)
/// along when they are not given. Its commands are those of every field touched, each once, in
/// the generator's order (`e` after `a`). Throws ChangeRefused for what the window would refuse
/// or ask about.
Edit planChange(const GeneratorSettings& current, std::span<const FieldValue> values);

}  // namespace tavero::model
