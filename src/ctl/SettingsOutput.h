// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ostream>

#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"

namespace tavero::ctl {

/// What `read` prints: "Firmwareversion 1.20", then one Key=value line per setting in record
/// order; or, as JSON, one object with Firmwareversion as a number and the settings as integers.
/// @param firmwareVersion in hundredths
void printGeneratorState(std::ostream& out, std::uint16_t firmwareVersion,
                         const GeneratorSettings& settings, bool json);

/// What `profile` prints: one Key=value line per setting in record order, then Name=...; or,
/// as JSON, one object with the settings as integers and Name as a string.
void printProfile(std::ostream& out, const StoredProfile& profile, bool json);

}  // namespace tavero::ctl
