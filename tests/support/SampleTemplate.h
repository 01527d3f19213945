// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::headless {

/// A dialog with one control of every kind, two radio groups, a spin control with its buddy
/// and a menu with a nested popup, for the tests of the window-system layer.
namespace sample {
inline constexpr int kDialogId = 900;
inline constexpr int kEdit = 100;
inline constexpr int kDigitsEdit = 101;
inline constexpr int kReadOnlyEdit = 102;
inline constexpr int kButton = 110;
inline constexpr int kTwoLineButton = 111;
inline constexpr int kArrowButton = 112;
inline constexpr int kSinus = 120;
inline constexpr int kDreieck = 121;
inline constexpr int kStandard = 122;
inline constexpr int kWobbeln = 123;
inline constexpr int kCheckBox = 130;
inline constexpr int kGroupBox = 140;
inline constexpr int kUnitLabel = 141;
inline constexpr int kDigit = 150;
inline constexpr int kUsbIndicator = 151;
inline constexpr int kListBox = 160;
inline constexpr int kComboBox = 161;
inline constexpr int kTrackbar = 170;
inline constexpr int kScrollBar = 171;
inline constexpr int kSpin = 180;
inline constexpr int kMenuOpen = 32001;
inline constexpr int kMenuQuit = 32002;
inline constexpr int kMenuOffset = 32003;

extern const res::DialogTemplate kTemplate;
/// A second dialog (id 901) with a visible default button and a Cancel button, for modal runs.
extern const res::DialogTemplate kConfirmTemplate;
inline constexpr int kConfirmDialogId = 901;
}  // namespace sample

}  // namespace tavero::headless
