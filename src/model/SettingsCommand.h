// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GeneratorSettings.h"

namespace tavero::link {
class DeviceCommands;
}

namespace tavero::model {

/// Sends the command of `letter` (one of kSettingsCommands) with the values of `settings`;
/// whether the generator took it. An unknown letter sends nothing and fails.
bool sendSettingsCommand(link::DeviceCommands& commands, char letter,
                         const GeneratorSettings& settings);

}  // namespace tavero::model
