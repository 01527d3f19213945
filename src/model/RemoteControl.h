// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tavero::model {

/// Who controls the generator from afar, as a bench instrument's REM, LLO and GTL tell it.
struct RemoteControl {
    /// The client holding the VXI-11 lock; empty when none does.
    std::string lockHolder;
    /// Remote with lockout (SYST:RWL): the window is read-only until SYST:LOC or "Lokal".
    bool lockout = false;
    /// The user pressed "Lokal" while a lock is held: the window may edit until the next lock.
    bool localOverride = false;

    /// Whether the window's controls are read-only.
    bool windowLocked() const { return lockout || (!lockHolder.empty() && !localOverride); }
};

}  // namespace tavero::model
