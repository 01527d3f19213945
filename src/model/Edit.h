// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// Fields of the record, by their index in record order.
using FieldSet = std::bitset<kSettingsFieldCount>;

/// The fields in which `a` and `b` differ.
FieldSet differingFields(const GeneratorSettings& a, const GeneratorSettings& b);

/// The generator's commands that carry settings, as their letters: `c` limits, `f` frequency,
/// `z` step, `g` amplitude, `s` waveform, `a` filter, `e` mode, `w` sweep, `m` modulation,
/// `t` PLL factor, `o` PLL offset, `p` the whole record.
inline constexpr std::string_view kSettingsCommands = "cfzgsaewmtop";
/// What the window sends after its PLL settings, changed or not: frequency, step, factor and
/// offset.
inline constexpr std::string_view kPllCommands = "fzto";

/// A change a front end asks of the generator: new values for some fields of the record, and
/// the commands to send afterwards, in order. Each command sends the record's values at that
/// moment, so fields another front end changed meanwhile go out with it as they now are.
struct Edit {
    GeneratorSettings values;  ///< read only in `fields`
    FieldSet fields;
    std::string commands;  ///< letters of kSettingsCommands
    /// The profile load's rule: when an exchange fails, the record keeps its old values.
    /// Otherwise the record holds the new values whether or not the generator took them.
    bool restoreOnFailure = false;

    /// The fields a draft taken from `base` has changed since, with the commands to send.
    static Edit fromDraft(const GeneratorSettings& base, const GeneratorSettings& draft,
                          std::string commands);
    /// Every field, sent with `p`.
    static Edit whole(const GeneratorSettings& settings);
    /// One field (by its index in record order) set to `value`, truncated to the field's width.
    static Edit field(std::size_t index, std::int64_t value, std::string commands);
    /// Nothing changed; only the commands are sent with the record as it is.
    static Edit resend(std::string commands);
};

}  // namespace tavero::model
