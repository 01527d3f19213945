// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// The modulation settings dialog.
namespace modulation {
inline constexpr int kDialogId = 168;
inline constexpr int kIntern = 1000;  ///< radio: phase modulation from the internal source
inline constexpr int kExtern = 1001;  ///< radio: phase modulation from the external input
inline constexpr int kPsk = 1002;     ///< radio: keying kind
inline constexpr int kFsk = 1003;
inline constexpr int kAsk = 1004;
inline constexpr int kAm = 1048;                       ///< check box: amplitude modulation on
inline constexpr int kModulationsfrequenzEdit = 1035;  ///< in Hz
inline constexpr int kPhasenhubEdit = 1036;            ///< in degrees, digits only
inline constexpr int kFrequenzhubEdit = 1037;          ///< in Hz
inline constexpr int kModulationshubEdit = 1012;       ///< in percent, read-only
}  // namespace modulation

extern const DialogTemplate kModulationTemplate;

}  // namespace tavero::res
