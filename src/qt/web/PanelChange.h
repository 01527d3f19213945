// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "core/GeneratorSettings.h"

namespace tavero::qt {

/// A value the window would refuse: its message, in German.
struct RefusedEntry {
    std::string message;
};

/// A change the page asks for: the control's id (`frequency`, `amplitude`, `waveform`, `mode`
/// or `filter`) and its value as the page sends it (typed text, radio value, "on" or "off").
struct PanelEntry {
    std::string_view control;
    std::string_view value;
};

/// The SCPI line that carries out the change, checked with the window's rules against the
/// current settings; the window's message when it refuses the value. Nothing at all for a control
/// or value the page does not have.
std::variant<std::monostate, std::string, RefusedEntry> panelCommand(
    const PanelEntry& entry, const GeneratorSettings& settings);

}  // namespace tavero::qt
