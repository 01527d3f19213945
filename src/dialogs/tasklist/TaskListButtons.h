// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tavero::ui {
class Window;
}  // namespace tavero::ui

namespace tavero::dialogs {

/// The situations in which the task list sets its seven command buttons.
enum class ButtonSituation : std::uint8_t {
    Empty,        ///< opened, "Zurücksetzen", the start of every load
    Ready,        ///< "Hinzufügen", a load of at least one entry, any stop of a run
    RemovedLast,  ///< "Markierten Eintrag entfernen" emptied the list
    Running,
};

/// Enables or disables "Start", "Stopp", "Zurücksetzen", "Laden", "Speichern", "Hinzufügen" and
/// "Markierten Eintrag entfernen" as the situation asks; RemovedLast leaves some as they are.
void applyButtons(ui::Window& window, ButtonSituation situation);

}  // namespace tavero::dialogs
