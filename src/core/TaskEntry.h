// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/StoredProfile.h"

namespace tavero {

/// One step of a task list: a copy of a stored profile, taken when the step was added, so that
/// later changes to the profile do not reach it.
struct TaskEntry {
    StoredProfile profile;
    std::uint32_t duration = 0;  ///< hold time, in seconds
    std::int32_t elementNr = 0;  ///< 1-based number handed out when the step was added

    friend bool operator==(const TaskEntry&, const TaskEntry&) = default;
};

}  // namespace tavero
