// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/AufgabenlisteTemplate.h"

namespace tavero::res {
namespace {

namespace ids = aufgabenliste;

constexpr ControlTemplate kControls[] = {
    // Einstellungen
    {.kind = ControlKind::GroupBox, .text = "Einstellungen", .rect = {6, 4, 226, 58}},
    {.kind = ControlKind::Label, .text = "Profil", .rect = {12, 18, 30, 8}},
    {.kind = ControlKind::ComboBox, .id = ids::kProfileCombo, .rect = {46, 16, 180, 120}},
    {.kind = ControlKind::Label, .text = "Dauer", .rect = {12, 38, 30, 8}},
    {.kind = ControlKind::Edit,
     .id = ids::kDurationEdit,
     .rect = {46, 36, 36, 12},
     .style = style::kDigitsOnly | style::kAlignRight},
    {.kind = ControlKind::SpinControl,
     .id = ids::kDurationSpin,
     .rect = {82, 36, 10, 12},
     .buddy = ids::kDurationEdit},
    {.kind = ControlKind::Label, .text = "s", .rect = {95, 38, 8, 8}},
    {.kind = ControlKind::CheckBox,
     .id = ids::kLoopCheck,
     .text = "Schleife",
     .rect = {108, 37, 50, 10}},
    {.kind = ControlKind::Button, .id = ids::kAdd, .text = "Hinzufügen", .rect = {166, 35, 60, 14}},
    // Vorgang
    {.kind = ControlKind::GroupBox, .text = "Vorgang", .rect = {238, 4, 76, 58}},
    {.kind = ControlKind::Button, .id = ids::kStart, .text = "Start", .rect = {244, 17, 64, 14}},
    {.kind = ControlKind::Button, .id = ids::kStop, .text = "Stopp", .rect = {244, 39, 64, 14}},
    // aktuelle Aufgabe
    {.kind = ControlKind::GroupBox, .text = "aktuelle Aufgabe", .rect = {6, 66, 308, 32}},
    {.kind = ControlKind::Label, .text = "Restdauer", .rect = {12, 80, 36, 8}},
    {.kind = ControlKind::Edit,
     .id = ids::kRemainingEdit,
     .rect = {50, 78, 36, 12},
     .style = style::kReadOnly | style::kAlignRight},
    {.kind = ControlKind::Label, .text = "s", .rect = {89, 80, 8, 8}},
    {.kind = ControlKind::Label, .text = "aktuelle Einstellung", .rect = {104, 80, 70, 8}},
    {.kind = ControlKind::Edit,
     .id = ids::kCurrentNameEdit,
     .rect = {176, 78, 132, 12},
     .style = style::kReadOnly},
    // Aufgaben
    {.kind = ControlKind::GroupBox, .text = "Aufgaben", .rect = {6, 102, 308, 110}},
    {.kind = ControlKind::ListBox, .id = ids::kEntryList, .rect = {12, 114, 206, 92}},
    {.kind = ControlKind::Button,
     .id = ids::kRemove,
     .text = "Markierten Eintrag entfernen",
     .rect = {224, 114, 84, 22},
     .style = style::kMultiLine},
    {.kind = ControlKind::Button,
     .id = ids::kReset,
     .text = "Zurücksetzen",
     .rect = {224, 142, 84, 14}},
    {.kind = ControlKind::Button, .id = ids::kLoad, .text = "Laden", .rect = {224, 168, 84, 14}},
    {.kind = ControlKind::Button,
     .id = ids::kSave,
     .text = "Speichern",
     .rect = {224, 188, 84, 14}},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {250, 218, 64, 14}},
    // Takes Enter when no handler uses it, so that Enter never closes the dialog.
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kAufgabenlisteTemplate = {
    .id = aufgabenliste::kDialogId,
    .title = "Aufgabenliste",
    .size = {320, 238},
    .controls = kControls,
};

}  // namespace tavero::res
