// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/DriveHistory.h"

namespace tavero::sim {

void DriveHistory::record(const GeneratorSettings& settings, Clock::time_point when) {
    // The synthesiser's own output: an external PLL stage is not modelled.
    const Drive drive{.hz = settings.frequenz / 100.0,
                      .peakToPeakVolts = settings.amplitude / 1000.0};
    const std::lock_guard lock(mutex_);
    if (drive != snapshot_.now) {
        snapshot_ = {.now = drive, .before = snapshot_.now, .changed = when};
    }
}

DriveHistory::Snapshot DriveHistory::snapshot() const {
    const std::lock_guard lock(mutex_);
    return snapshot_;
}

}  // namespace tavero::sim
