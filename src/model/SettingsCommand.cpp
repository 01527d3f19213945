// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SettingsCommand.h"

#include "link/DeviceCommands.h"

namespace tavero::model {

bool sendSettingsCommand(link::DeviceCommands& commands, char letter, const GeneratorSettings& s) {
    switch (letter) {
        case 'c':
            return commands.SendLimits(s);
        case 'f':
            return commands.SendFrequency(s);
        case 'z':
            return commands.SendStep(s);
        case 'g':
            return commands.SendAmplitude(s);
        case 's':
            return commands.SendWaveform(s.signalform);
        case 'a':
            return commands.SendFilter((s.konfiguration & kKonfigurationFilter) != 0);
        case 'e':
            // The mode byte counts 0, 1, 2 where the bits count 0, 2, 4.
            return commands.SendMode(
                static_cast<std::uint8_t>((s.konfiguration & kKonfigurationBetriebsartMask) >> 1));
        case 'w':
            return commands.SendSweep(s);
        case 'm':
            return commands.SendModulation(s);
        case 't':
            return commands.SendPllFactor(s);
        case 'o':
            return commands.SendPllOffset(s);
        case 'p':
            return commands.SendSettings(s);
        default:
            return false;
    }
}

}  // namespace tavero::model
