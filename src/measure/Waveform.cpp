// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/Waveform.h"

#include <algorithm>

namespace tavero::measure {

double peakToPeak(const Waveform& waveform) {
    if (waveform.volts.empty()) {
        return 0;
    }
    const auto [low, high] = std::minmax_element(waveform.volts.begin(), waveform.volts.end());
    return *high - *low;
}

}  // namespace tavero::measure
