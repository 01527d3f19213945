// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/GeneratorSettings.h"

namespace tavero {

/// One named entry of the profile list.
struct StoredProfile {
    GeneratorSettings settings;
    std::string name;  ///< UTF-8, as typed; never includes the row number shown before it

    friend bool operator==(const StoredProfile&, const StoredProfile&) = default;
};

}  // namespace tavero
