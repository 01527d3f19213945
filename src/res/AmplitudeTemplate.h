// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// "Amplitude kalibrieren": a slider drives the output stage directly while the user finds the
/// levels for 0.2 V and 0.8 V peak-to-peak.
namespace amplitude {
inline constexpr int kDialogId = 175;
inline constexpr int kSlider = 1032;           ///< horizontal scroll bar, positions 0..16383
inline constexpr int kStore200mV = 1022;       ///< button "0,2 Vss speichern"
inline constexpr int kStore800mV = 1023;       ///< button "0,8 Vss speichern"
inline constexpr int kSendCalibration = 1024;  ///< button "Kalibrierdaten senden"
}  // namespace amplitude

extern const DialogTemplate kAmplitudeTemplate;

}  // namespace tavero::res
