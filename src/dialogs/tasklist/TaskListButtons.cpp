// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/tasklist/TaskListButtons.h"

#include <array>
#include <cstddef>

#include "res/AufgabenlisteTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::aufgabenliste;

enum class Enable : std::uint8_t { Off, On, Keep };

constexpr std::array<int, 7> kButtons = {
    ids::kStart, ids::kStop, ids::kReset, ids::kLoad, ids::kSave, ids::kAdd, ids::kRemove,
};

struct Row {
    ButtonSituation situation;
    std::array<Enable, kButtons.size()> buttons;  ///< in the order of kButtons
};

constexpr Enable Off = Enable::Off;
constexpr Enable On = Enable::On;
constexpr Enable Keep = Enable::Keep;

// Columns: Start, Stopp, Zurücksetzen, Laden, Speichern, Hinzufügen, Entfernen.
constexpr std::array<Row, 4> kTable = {{
    {ButtonSituation::Empty, {Off, Off, Off, On, Off, On, Off}},
    {ButtonSituation::Ready, {On, Off, On, On, On, On, On}},
    {ButtonSituation::RemovedLast, {Off, Keep, Off, Keep, Off, Keep, Off}},
    {ButtonSituation::Running, {Off, On, Off, Off, Off, Off, Off}},
}};

}  // namespace

void applyButtons(ui::Window& window, ButtonSituation situation) {
    for (const Row& row : kTable) {
        if (row.situation != situation) {
            continue;
        }
        for (std::size_t i = 0; i < kButtons.size(); ++i) {
            if (row.buttons[i] != Keep) {
                window.enable(kButtons[i], row.buttons[i] == On);
            }
        }
    }
}

}  // namespace tavero::dialogs
