// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/PllTemplate.h"

namespace tavero::res {
namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::Label, .text = "Teilungsfaktor", .rect = {8, 12, 56, 8}},
    {.kind = ControlKind::Edit,
     .id = pll::kTeilungsfaktorEdit,
     .rect = {68, 10, 56, 12},
     .style = style::kDigitsOnly},
    {.kind = ControlKind::Label, .text = "Offset", .rect = {8, 30, 56, 8}},
    {.kind = ControlKind::Edit,
     .id = pll::kOffsetEdit,
     .rect = {68, 28, 56, 12},
     .style = style::kAlignRight},
    {.kind = ControlKind::Label, .text = "kHz", .rect = {128, 30, 18, 8}},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {88, 50, 58, 14}},
    // Takes Enter when no handler uses it, so that Enter never closes the dialog.
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kPllTemplate = {
    .id = pll::kDialogId,
    .title = "PLL",
    .size = {154, 72},
    .controls = kControls,
};

}  // namespace tavero::res
