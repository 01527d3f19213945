// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "sim/SimulatedGenerator.h"

namespace tavero::dialogs {

/// The commands the generator received, each as its letter followed by its values read
/// big-endian, e.g. "d 8191" or "q 12383 4383".
std::vector<std::string> describeReceived(const sim::SimulatedGenerator& generator);

}  // namespace tavero::dialogs
