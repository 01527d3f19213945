// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/OszillatorTemplate.h"

namespace tavero::res {
namespace {

// The two radio buttons stand together so that they form one group; the group boxes around
// each method place them apart on screen.
constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::GroupBox, .text = "Anleitung", .rect = {7, 7, 286, 116}},
    {.kind = ControlKind::Label,
     .text = "Um eine eventuelle Frequenzabweichung des Oszillators zu kalibrieren, gibt es "
             "zwei Methoden.",
     .rect = {14, 20, 272, 18}},
    {.kind = ControlKind::Label,
     .text = "Methode 1: Messen Sie die Oszillatorfrequenz direkt am Pin 3 von Q2 und geben "
             "diese in das dafür vorgesehene Eingabefeld ein.",
     .rect = {14, 40, 272, 18}},
    {.kind = ControlKind::Label,
     .text = "Methode 2: Stellen Sie im Hauptfenster eine Frequenz von 25 MHz ein. Messen Sie "
             "nun die am Signalausgang vorhandene Frequenz und geben diese in das dafür "
             "vorgesehene Eingabefeld ein.",
     .rect = {14, 60, 272, 26}},
    {.kind = ControlKind::Label,
     .text = "Um den Kalibriervorgang abzuschließen, klicken Sie auf den nun aktivierten Button "
             "\"Sende Kalibrierdaten\"",
     .rect = {14, 94, 272, 18}},
    {.kind = ControlKind::GroupBox, .rect = {7, 128, 140, 62}},
    {.kind = ControlKind::GroupBox, .rect = {153, 128, 140, 62}},
    {.kind = ControlKind::RadioButton,
     .id = oszillator::kMethod1,
     .text = "Methode 1",
     .rect = {14, 138, 80, 10},
     .style = style::kGroupStart},
    {.kind = ControlKind::RadioButton,
     .id = oszillator::kMethod2,
     .text = "Methode 2",
     .rect = {160, 138, 80, 10}},
    {.kind = ControlKind::Label, .text = "gemessene Oszillatorfrequenz", .rect = {14, 154, 126, 8}},
    {.kind = ControlKind::Edit, .id = oszillator::kMethod1Edit, .rect = {14, 166, 100, 12}},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {118, 168, 20, 8}},
    {.kind = ControlKind::Label, .text = "gemessene Ausgangsfrequenz", .rect = {160, 154, 126, 8}},
    {.kind = ControlKind::Edit,
     .id = oszillator::kMethod2Edit,
     .rect = {160, 166, 100, 12},
     .style = style::kDisabled},
    {.kind = ControlKind::Label, .text = "Hz", .rect = {264, 168, 20, 8}},
    {.kind = ControlKind::Button,
     .id = oszillator::kSendCalibration,
     .text = "Sende Kalibrierdaten",
     .rect = {7, 198, 70, 22},
     .style = style::kMultiLine},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {243, 202, 50, 14}},
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kOszillatorTemplate = {
    .id = oszillator::kDialogId,
    .title = "Frequenz kalibrieren",
    .size = {300, 227},
    .controls = kControls,
};

}  // namespace tavero::res
