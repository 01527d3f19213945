// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GeneratorSettings.h"
#include "link/DeviceCommands.h"

namespace tavero::ctl {

/// Sends the group of settings one command letter stands for ("cfzgsaewmto"), as the window
/// sends it after a change. False after its message, or for a letter of no group.
bool sendSettingsGroup(link::DeviceCommands& commands, char letter, const GeneratorSettings& s);

}  // namespace tavero::ctl
