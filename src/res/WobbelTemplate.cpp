// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/WobbelTemplate.h"

namespace tavero::res {
namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::Label, .text = "Startfrequenz", .rect = {8, 12, 60, 8}},
    {.kind = ControlKind::Edit, .id = wobbel::kStartfrequenzEdit, .rect = {72, 10, 68, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {144, 12, 18, 8}},
    {.kind = ControlKind::Label, .text = "Stoppfrequenz", .rect = {8, 30, 60, 8}},
    {.kind = ControlKind::Edit, .id = wobbel::kStoppfrequenzEdit, .rect = {72, 28, 68, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {144, 30, 18, 8}},
    {.kind = ControlKind::Label, .text = "Wobbelfrequenz", .rect = {8, 48, 60, 8}},
    {.kind = ControlKind::Edit, .id = wobbel::kWobbelfrequenzEdit, .rect = {72, 46, 68, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {144, 48, 18, 8}},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Übernehmen", .rect = {98, 68, 64, 14}},
    // Takes Enter when no handler uses it, so that Enter never closes the dialog.
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kWobbelTemplate = {
    .id = wobbel::kDialogId,
    .title = "Wobbeln",
    .size = {170, 90},
    .controls = kControls,
};

}  // namespace tavero::res
