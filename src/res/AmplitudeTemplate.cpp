// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/AmplitudeTemplate.h"

namespace tavero::res {
namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::GroupBox, .text = "Anleitung", .rect = {7, 7, 286, 102}},
    {.kind = ControlKind::Label,
     .text = "Achtung: Der Signalausgang muss mit 50 Ohm belastet werden",
     .rect = {14, 20, 272, 10},
     .style = style::kAlignCenter},
    {.kind = ControlKind::Label,
     .text = "1. Mit Hilfe des Schiebereglers eine Spannung von 0,2 Vss am Signalausgang "
             "einstellen und mit dem Button \"0,2 Vss speichern\" quittieren.",
     .rect = {14, 36, 272, 26}},
    {.kind = ControlKind::Label,
     .text = "2. Anschließend mit dem Schieberegler eine Spannung von 0,8 Vss am Signalausgang "
             "einstellen und dies nun mit dem Button \"0,8 Vss speichern\" bestätigen.",
     .rect = {14, 64, 272, 26}},
    {.kind = ControlKind::Label,
     .text = "3. Jetzt können die Kalibrierdaten an das Tavero gesendet werden.",
     .rect = {14, 92, 272, 10}},
    {.kind = ControlKind::GroupBox, .text = "Amplitude", .rect = {7, 114, 286, 30}},
    {.kind = ControlKind::ScrollBar, .id = amplitude::kSlider, .rect = {14, 126, 272, 11}},
    {.kind = ControlKind::Button,
     .id = amplitude::kStore200mV,
     .text = "0,2 Vss speichern",
     .rect = {7, 155, 70, 14}},
    {.kind = ControlKind::Button,
     .id = amplitude::kStore800mV,
     .text = "0,8 Vss speichern",
     .rect = {83, 155, 70, 14}},
    {.kind = ControlKind::Button,
     .id = amplitude::kSendCalibration,
     .text = "Kalibrierdaten senden",
     .rect = {159, 151, 70, 22},
     .style = style::kMultiLine | style::kDisabled},
    {.kind = ControlKind::Button, .id = kIdCancel, .text = "Schließen", .rect = {243, 155, 50, 14}},
    kHiddenDefaultButton,
};

}  // namespace

const DialogTemplate kAmplitudeTemplate = {
    .id = amplitude::kDialogId,
    .title = "Amplitude kalibrieren",
    .size = {300, 180},
    .controls = kControls,
};

}  // namespace tavero::res
