// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// "Frequenz kalibrieren": the measured frequency of the reference oscillator, taken directly
/// (method 1) or from the output set to 25 MHz (method 2).
namespace oszillator {
inline constexpr int kDialogId = 177;
inline constexpr int kMethod1 = 1078;          ///< radio button "Methode 1"
inline constexpr int kMethod1Edit = 1010;      ///< measured oscillator frequency, in Hz
inline constexpr int kMethod2 = 1079;          ///< radio button "Methode 2"
inline constexpr int kMethod2Edit = 1011;      ///< measured output frequency, in Hz
inline constexpr int kSendCalibration = 1043;  ///< button "Sende Kalibrierdaten"
}  // namespace oszillator

extern const DialogTemplate kOszillatorTemplate;

}  // namespace tavero::res
