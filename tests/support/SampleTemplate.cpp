// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleTemplate.h"

namespace tavero::headless::sample {
namespace {

using res::ButtonIcon;
using res::ControlKind;
using res::ControlTemplate;
using res::MenuItem;
namespace style = res::style;

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::GroupBox, .id = kGroupBox, .text = "Anzeige", .rect = {4, 4, 118, 62}},
    {.kind = ControlKind::Picture,
     .id = kDigit,
     .rect = {10, 14, 32, 40},
     .picture = res::Picture::digit(8, true)},
    {.kind = ControlKind::Picture,
     .id = kUsbIndicator,
     .rect = {50, 14, 10, 10},
     .picture = res::Picture::usbIndicator(false)},
    {.kind = ControlKind::Label,
     .id = kUnitLabel,
     .text = "Hz",
     .rect = {64, 40, 30, 16},
     .style = style::kAlignRight,
     .font = {.family = "Arial", .pixelHeight = 28, .bold = true},
     .textColor = res::Rgb{0, 0, 225}},
    {.kind = ControlKind::Edit, .id = kEdit, .rect = {130, 8, 60, 12}},
    {.kind = ControlKind::Edit,
     .id = kDigitsEdit,
     .rect = {130, 24, 40, 12},
     .style = style::kDigitsOnly},
    {.kind = ControlKind::SpinControl,
     .id = kSpin,
     .rect = {171, 24, 10, 12},
     .buddy = kDigitsEdit},
    {.kind = ControlKind::Edit,
     .id = kReadOnlyEdit,
     .rect = {130, 40, 60, 12},
     .style = style::kReadOnly | style::kAlignRight},
    {.kind = ControlKind::Button, .id = kButton, .text = "Los", .rect = {196, 8, 40, 14}},
    {.kind = ControlKind::Button,
     .id = kArrowButton,
     .rect = {196, 26, 20, 20},
     .icon = ButtonIcon::ArrowUp},
    {.kind = ControlKind::Button,
     .id = kTwoLineButton,
     .text = "Kalibrierdaten senden",
     .rect = {130, 56, 50, 22},
     .style = style::kMultiLine},
    {.kind = ControlKind::RadioButton, .id = kSinus, .text = "Sinus", .rect = {10, 70, 50, 10}},
    {.kind = ControlKind::RadioButton, .id = kDreieck, .text = "Dreieck", .rect = {10, 82, 50, 10}},
    {.kind = ControlKind::RadioButton,
     .id = kStandard,
     .text = "Standard",
     .rect = {64, 70, 50, 10},
     .style = style::kGroupStart},
    {.kind = ControlKind::RadioButton, .id = kWobbeln, .text = "Wobbeln", .rect = {64, 82, 50, 10}},
    {.kind = ControlKind::CheckBox,
     .id = kCheckBox,
     .text = "Filter deaktiviert",
     .rect = {10, 96, 90, 10}},
    {.kind = ControlKind::ListBox, .id = kListBox, .rect = {10, 110, 80, 40}},
    {.kind = ControlKind::ComboBox, .id = kComboBox, .rect = {100, 110, 80, 60}},
    {.kind = ControlKind::Trackbar,
     .id = kTrackbar,
     .rect = {200, 50, 20, 80},
     .style = style::kVertical},
    {.kind = ControlKind::ScrollBar, .id = kScrollBar, .rect = {10, 160, 150, 10}},
    {.kind = ControlKind::Button,
     .id = res::kIdOk,
     .text = "OK",
     .rect = {0, 0, 1, 1},
     .style = style::kDefault | style::kHidden},
    {.kind = ControlKind::Button,
     .id = res::kIdCancel,
     .text = "Schließen",
     .rect = {190, 160, 46, 14}},
};

constexpr MenuItem kCalibration[] = {{.text = "Offset", .id = kMenuOffset}};
constexpr MenuItem kFile[] = {
    {.text = "Öffnen", .id = kMenuOpen}, {}, {.text = "Beenden", .id = kMenuQuit}};
constexpr MenuItem kExtras[] = {{.text = "Kalibrierung", .items = kCalibration}};
constexpr MenuItem kMenu[] = {{.text = "Datei", .items = kFile},
                              {.text = "Extras", .items = kExtras}};

constexpr ControlTemplate kConfirmControls[] = {
    {.kind = ControlKind::Label, .text = "Fortsetzen?", .rect = {8, 8, 100, 10}},
    {.kind = ControlKind::Button,
     .id = res::kIdOk,
     .text = "OK",
     .rect = {8, 30, 40, 14},
     .style = style::kDefault},
    {.kind = ControlKind::Button,
     .id = res::kIdCancel,
     .text = "Abbrechen",
     .rect = {56, 30, 40, 14}},
};

}  // namespace

const res::DialogTemplate kTemplate = {
    .id = kDialogId,
    .title = "Probe",
    .size = {240, 180},
    .controls = kControls,
    .menu = kMenu,
    .minimizeBox = true,
};

const res::DialogTemplate kConfirmTemplate = {
    .id = kConfirmDialogId,
    .title = "Bestätigen",
    .size = {110, 50},
    .controls = kConfirmControls,
};

}  // namespace tavero::headless::sample
