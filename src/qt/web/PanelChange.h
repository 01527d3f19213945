// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "core/GeneratorSettings.h"
#include "model/Edit.h"

namespace tavero::qt {

/// A value the window would refuse: its message, in German.
struct RefusedEntry {
    std::string message;
};

/// A change the page asks for: the control's id and its value as the page sends it.
///
/// Typed text: `frequency`, `minimum`, `maximum`, `step`, `sweep-start`, `sweep-stop`,
/// `frequency-deviation` (Hz, kHz, k, MHz, M), `sweep-rate`, `modulation-rate` (Hz), `amplitude`
/// (mV, V), `phase-deviation`, and `pll` with the factor as `value` and the offset (kHz) as
/// `pllOffset`. Digit steps: `frequency-up`, `frequency-down`, `amplitude-up` and
/// `amplitude-down` with the digit's position ("0" is the lowest); `step-up` and `step-down`
/// by the step. Choices: `waveform` (sine, triangle, square, square-half), `mode` (standard,
/// sweep, modulation), `filter` and `am` (on, off), `keying` (fsk, psk, ask),
/// `modulation-source` (internal, external).
struct PanelEntry {
    std::string_view control;
    std::string_view value;
    std::string_view pllOffset = {};
};

/// The edit of the generator model that carries out the change, checked with the window's
/// rules and sending the frames the window sends for it; the window's message when it refuses
/// the value. Nothing at all for a control or value the page does not have.
std::variant<std::monostate, model::Edit, RefusedEntry> panelEdit(
    const PanelEntry& entry, const GeneratorSettings& settings);

}  // namespace tavero::qt
