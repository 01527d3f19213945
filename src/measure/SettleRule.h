// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

namespace tavero::measure {

/// How long the device under test is given after each frequency change before the scope looks:
/// a time and a number of periods of the new frequency, whichever is longer. A circuit settles
/// in its own time constants, which scale with the periods near its corners.
struct SettleRule {
    std::chrono::milliseconds time{5};
    double periods = 10;
};

/// The wait the rule asks for at `frequencyCentiHz` (in 0.01 Hz), in microseconds.
std::chrono::microseconds settleTime(const SettleRule& rule, std::uint32_t frequencyCentiHz);

}  // namespace tavero::measure
