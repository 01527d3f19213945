// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/SettleRule.h"

#include <algorithm>
#include <cmath>

namespace tavero::measure {

std::chrono::microseconds settleTime(const SettleRule& rule, std::uint32_t frequencyCentiHz) {
    const double periodMicroseconds = frequencyCentiHz == 0 ? 0.0 : 1e8 / frequencyCentiHz;
    const auto periods = std::chrono::microseconds(
        static_cast<std::int64_t>(std::ceil(rule.periods * periodMicroseconds)));
    return std::max<std::chrono::microseconds>(rule.time, periods);
}

}  // namespace tavero::measure
