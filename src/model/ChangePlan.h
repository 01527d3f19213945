// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

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

/// A stored profile's settings made fit to send: each field outside its range takes the empty
/// profile's value, as a field the file does not hold does, so that a hand-edited value such
/// as a `Frequenzhub` of 2^63-1 never reaches the generator. Values off the 0.25 Hz grid stay,
/// as the window's PLL stage computes such frequencies. Gives the indexes of the fields it
/// replaced, in record order.
std::vector<std::size_t> replaceRefusedFields(GeneratorSettings& settings);

}  // namespace tavero::model
