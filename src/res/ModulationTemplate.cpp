// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/ModulationTemplate.h"

namespace tavero::res {
namespace {

namespace ids = modulation;

// Radio buttons form a group only while they follow each other, so each keying radio stands
// before the fields below it in the tab order.
constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::GroupBox, .text = "PM", .rect = {6, 4, 334, 72}},
    {.kind = ControlKind::GroupBox, .text = "Quelle", .rect = {12, 14, 104, 58}},
    {.kind = ControlKind::RadioButton,
     .id = ids::kIntern,
     .text = "intern",
     .rect = {18, 26, 40, 10},
     .style = style::kGroupStart},
    {.kind = ControlKind::RadioButton,
     .id = ids::kExtern,
     .text = "extern",
     .rect = {62, 26, 44, 10}},
    {.kind = ControlKind::Label, .text = "Modulationsfrequenz", .rect = {18, 42, 92, 8}},
    {.kind = ControlKind::Edit, .id = ids::kModulationsfrequenzEdit, .rect = {18, 52, 72, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {94, 54, 16, 8}},
    {.kind = ControlKind::GroupBox, .text = "Art", .rect = {122, 14, 212, 58}},
    {.kind = ControlKind::RadioButton,
     .id = ids::kPsk,
     .text = "PSK",
     .rect = {128, 26, 60, 10},
     .style = style::kGroupStart},
    {.kind = ControlKind::RadioButton, .id = ids::kFsk, .text = "FSK", .rect = {194, 26, 70, 10}},
    {.kind = ControlKind::RadioButton, .id = ids::kAsk, .text = "ASK", .rect = {270, 26, 58, 10}},
    {.kind = ControlKind::Label, .text = "Phasenhub", .rect = {128, 42, 60, 8}},
    {.kind = ControlKind::Edit,
     .id = ids::kPhasenhubEdit,
     .rect = {128, 52, 40, 12},
     .style = style::kDigitsOnly},
    {.kind = ControlKind::Label, .text = "°", .rect = {171, 54, 10, 8}},
    {.kind = ControlKind::Label, .text = "Frequenzhub", .rect = {194, 42, 70, 8}},
    {.kind = ControlKind::Edit, .id = ids::kFrequenzhubEdit, .rect = {194, 52, 56, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {253, 54, 12, 8}},
    {.kind = ControlKind::Label, .text = "Modulationshub", .rect = {270, 42, 60, 8}},
    {.kind = ControlKind::Edit,
     .id = ids::kModulationshubEdit,
     .rect = {270, 52, 40, 12},
     .style = style::kReadOnly},
    {.kind = ControlKind::Label, .text = "%", .rect = {313, 54, 10, 8}},
    {.kind = ControlKind::GroupBox, .text = "AM", .rect = {6, 80, 334, 36}},
    {.kind = ControlKind::CheckBox, .id = ids::kAm, .text = "AM", .rect = {12, 94, 40, 10}},
    // Inside the AM box and clear of its frame line, which runs through the box's title.
    {.kind = ControlKind::GroupBox, .text = "Quelle", .rect = {122, 90, 100, 24}},
    {.kind = ControlKind::Label, .text = "extern", .rect = {128, 101, 60, 8}},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {276, 122, 64, 14}},
    // Takes Enter when no handler uses it, so that Enter never closes the dialog.
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kModulationTemplate = {
    .id = modulation::kDialogId,
    .title = "Modulation",
    .size = {346, 142},
    .controls = kControls,
};

}  // namespace tavero::res
