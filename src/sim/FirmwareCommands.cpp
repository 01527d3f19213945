// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/FirmwareCommands.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace tavero::sim {

namespace {

using Arguments = std::span<const std::uint8_t>;

constexpr std::uint16_t kHighestOutputLevel = 16383;

std::uint64_t readBigEndian(Arguments bytes) {
    std::uint64_t value = 0;
    for (const std::uint8_t b : bytes) {
        value = (value << 8) | b;
    }
    return value;
}

std::uint16_t read16(Arguments arguments, std::size_t at) {
    return static_cast<std::uint16_t>(readBigEndian(arguments.subspan(at, 2)));
}

/// A command that only sets settings fields; its arguments are those fields in the widths of
/// the settings image.
FirmwareCommand settingCommand(char letter, std::initializer_list<std::string_view> keys) {
    std::vector<std::size_t> fields;
    std::size_t size = 0;
    for (const std::string_view key : keys) {
        fields.push_back(settingsFieldIndex(key));
        size += settingsFields()[fields.back()].wireWidth;
    }
    return {
        letter, size, ReplyKind::kAcknowledge, [fields](FirmwareState& state, Arguments arguments) {
            std::size_t at = 0;
            for (const std::size_t index : fields) {
                const SettingsField& field = settingsFields()[index];
                // Narrower than its holder means zero-extended; the signed fields come in
                // their full width, so the conversion keeps their sign.
                const std::uint64_t value = readBigEndian(arguments.subspan(at, field.wireWidth));
                field.set(state.settings, static_cast<std::int64_t>(value));
                at += field.wireWidth;
            }
            return true;
        }};
}

/// A command with one byte that must be at most `highest`.
FirmwareCommand choiceCommand(char letter, std::uint8_t highest,
                              void (*set)(FirmwareState&, std::uint8_t)) {
    return {letter, 1, ReplyKind::kAcknowledge,
            [highest, set](FirmwareState& state, Arguments arguments) {
                if (arguments[0] > highest) {
                    return false;
                }
                set(state, arguments[0]);
                return true;
            }};
}

void setConnected(FirmwareState& state, std::uint8_t on) {
    state.connected = on == 1;
}

void setSignalform(FirmwareState& state, std::uint8_t form) {
    state.settings.signalform = form;
}

void setFilter(FirmwareState& state, std::uint8_t on) {
    std::uint8_t& bits = state.settings.konfiguration;
    bits = static_cast<std::uint8_t>(on != 0 ? bits | kKonfigurationFilter
                                             : bits & ~kKonfigurationFilter);
}

/// The mode goes as 0, 1, 2 and is kept in bits 1-2 of `konfiguration` as 0, 2, 4.
void setBetriebsart(FirmwareState& state, std::uint8_t mode) {
    std::uint8_t& bits = state.settings.konfiguration;
    bits = static_cast<std::uint8_t>((bits & ~kKonfigurationBetriebsartMask) | (mode << 1));
}

bool readParameters(FirmwareState&, Arguments) {
    return true;
}

bool replaceSettings(FirmwareState& state, Arguments image) {
    state.settings = fromSettingsImage(image.first<kSettingsImageSize>());
    return true;
}

bool calibrateOscillator(FirmwareState& state, Arguments arguments) {
    state.calibration.oscillatorFrequencyCentiHz = readBigEndian(arguments);
    return true;
}

bool setOutputLevel(FirmwareState& state, Arguments arguments) {
    const std::uint16_t level = read16(arguments, 0);
    if (level > kHighestOutputLevel) {
        return false;
    }
    state.calibration.outputLevel = level;
    return true;
}

bool calibrateAmplitude(FirmwareState& state, Arguments arguments) {
    const std::uint16_t at200mV = read16(arguments, 0);
    const std::uint16_t at800mV = read16(arguments, 2);
    if (at200mV > kHighestOutputLevel || at800mV > kHighestOutputLevel) {
        return false;
    }
    state.calibration.levelAt200mV = at200mV;
    state.calibration.levelAt800mV = at800mV;
    return true;
}

bool restoreFactorySettings(FirmwareState& state, Arguments) {
    state.settings = GeneratorSettings::emptyProfile();
    return true;
}

bool startBootloader(FirmwareState& state, Arguments) {
    state.inBootloader = true;
    return true;
}

std::vector<FirmwareCommand> makeCommands() {
    using enum ReplyKind;
    return {
        choiceCommand('x', 1, setConnected),
        {'P', 0, kParameters, readParameters},
        {'p', kSettingsImageSize, kAcknowledge, replaceSettings},
        settingCommand('f', {"Frequenz"}),
        settingCommand('c', {"Minimalfrequenz", "Maximalfrequenz"}),
        settingCommand('z', {"Schrittweite"}),
        settingCommand('g', {"Amplitude"}),
        choiceCommand('s', 3, setSignalform),
        choiceCommand('a', 1, setFilter),
        choiceCommand('e', 2, setBetriebsart),
        settingCommand('w', {"Wobbel-Startfrequenz", "Wobbel-Stoppfrequenz", "Wobbel-Frequenz"}),
        settingCommand('m', {"Modulationseinstellungen", "Frequenzhub", "Phasenhub",
                             "Amplitudenhub", "Modulationsfrequenz"}),
        settingCommand('t', {"PLL-Faktor"}),
        settingCommand('o', {"PLL-Offset"}),
        {'k', 8, kAcknowledge, calibrateOscillator},
        {'d', 2, kAcknowledge, setOutputLevel},
        {'q', 4, kAcknowledge, calibrateAmplitude},
        {'r', 0, kAcknowledge, restoreFactorySettings},
        {'!', 0, kNone, startBootloader},
    };
}

}  // namespace

const FirmwareCommand* findFirmwareCommand(char letter) {
    static const std::vector<FirmwareCommand> commands = makeCommands();
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [letter](const FirmwareCommand& c) { return c.letter == letter; });
    return it == commands.end() ? nullptr : &*it;
}

}  // namespace tavero::sim
