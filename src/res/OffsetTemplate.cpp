// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/OffsetTemplate.h"

namespace tavero::res {
namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::GroupBox, .text = "Anleitung", .rect = {7, 7, 246, 126}},
    {.kind = ControlKind::Label,
     .text = "Um einen eventuellen Offset zu kompensieren, gehen Sie wie folgt vor:",
     .rect = {14, 20, 232, 18}},
    {.kind = ControlKind::Label,
     .text = "1. Drücken Sie den Button \"minimale Amplitude\" und messen Sie mit einem "
             "Multimeter die anliegende Gleichspannung am Signalausgang.",
     .rect = {14, 40, 232, 26}},
    {.kind = ControlKind::Label,
     .text = "2. Stellen Sie nun mit Hilfe des Trimmers R16 eine Gleichspannung von 0 V ein.",
     .rect = {14, 68, 232, 18}},
    {.kind = ControlKind::Label,
     .text = "3. Drücken Sie nun den Button \"maximale Amplitude\".",
     .rect = {14, 88, 232, 10}},
    {.kind = ControlKind::Label,
     .text = "4. Nun mit dem Trimmer R33 wieder eine Gleichspannung von 0 V einstellen.",
     .rect = {14, 102, 232, 18}},
    {.kind = ControlKind::Button,
     .id = offset::kMinimumAmplitude,
     .text = "minimale Amplitude",
     .rect = {7, 140, 80, 14}},
    {.kind = ControlKind::Button,
     .id = offset::kMaximumAmplitude,
     .text = "maximale Amplitude",
     .rect = {93, 140, 80, 14}},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {203, 140, 50, 14}},
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kOffsetTemplate = {
    .id = offset::kDialogId,
    .title = "Offset kompensieren",
    .size = {260, 161},
    .controls = kControls,
};

}  // namespace tavero::res
