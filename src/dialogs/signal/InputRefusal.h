// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "ui/Host.h"

namespace tavero::dialogs {

/// The caption of the box that refuses a typed value.
inline constexpr std::string_view kInvalidInputCaption = "Ungültige Eingabe";

/// Tells the user why a typed value was refused: a modal warning box with an OK button.
inline void refuseInput(ui::Host& host, std::string_view message,
                        std::string_view caption = kInvalidInputCaption) {
    host.messageBox(message, caption, ui::Icon::Warning, ui::Buttons::Ok);
}

}  // namespace tavero::dialogs
