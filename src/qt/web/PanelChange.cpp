// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/PanelChange.h"

#include <array>
#include <optional>

#include "core/NumberText.h"
#include "model/EntryRules.h"

namespace tavero::qt {

namespace {

struct Choice {
    std::string_view value;
    std::string_view command;
};

constexpr std::array<Choice, 4> kWaveforms = {{
    {"sine", "FUNC SIN"},
    {"triangle", "FUNC TRI"},
    {"square", "FUNC SQU"},
    {"square-half", "FUNC SQU2"},
}};

/// The SCPI command of the keying kind the record holds, which the modulation mode keeps.
std::string_view keyingHeader(const GeneratorSettings& settings) {
    switch (settings.modulationseinstellungen & kModulationPmArtMask) {
        case kPmArtPsk:
            return "PSK";
        case kPmArtAsk:
            return "ASK";
        default:
            return "FSK";
    }
}

/// The mode is one of three; SCPI turns sweep and modulation on and off, each keeping the
/// modulation settings the record holds.
std::optional<std::string> modeCommand(std::string_view wanted, const GeneratorSettings& settings) {
    const std::uint8_t current = settings.konfiguration & kKonfigurationBetriebsartMask;
    const bool am = (settings.modulationseinstellungen & kModulationAm) != 0;
    if (wanted == "sweep") {
        return "SWE:STAT ON";
    }
    if (wanted == "modulation") {
        return am ? std::string("AM:STAT ON") : std::string(keyingHeader(settings)) + ":STAT ON";
    }
    if (wanted != "standard") {
        return std::nullopt;
    }
    if (current == kBetriebsartWobbeln) {
        return "SWE:STAT OFF";
    }
    if (current == kBetriebsartModulation) {
        // Switching the kind the record holds off leaves the mode standard; AM's bit stays.
        return std::string(keyingHeader(settings)) + ":STAT OFF";
    }
    return "SWE:STAT OFF";
}

}  // namespace

std::variant<std::monostate, std::string, RefusedEntry> panelCommand(
    const PanelEntry& entry, const GeneratorSettings& settings) {
    if (entry.control == "frequency") {
        const std::optional<std::int64_t> output =
            model::acceptedOutputFrequency(entry.value, settings);
        if (!output) {
            return RefusedEntry{
                model::frequencyRefusalText(model::limitText(settings.minimalfrequenz),
                                            model::limitText(settings.maximalfrequenz))};
        }
        return "FREQ " + formatFixed(static_cast<double>(*output) / 100, 2);
    }
    if (entry.control == "amplitude") {
        const std::optional<std::uint32_t> amplitude = model::acceptedAmplitude(entry.value);
        if (!amplitude) {
            return RefusedEntry{model::amplitudeRefusalText()};
        }
        return "VOLT " + std::to_string(*amplitude) + "MV";
    }
    if (entry.control == "waveform") {
        for (const Choice& choice : kWaveforms) {
            if (choice.value == entry.value) {
                return std::string(choice.command);
            }
        }
    } else if (entry.control == "mode") {
        if (std::optional<std::string> command = modeCommand(entry.value, settings)) {
            return *command;
        }
    } else if (entry.control == "filter" && (entry.value == "on" || entry.value == "off")) {
        return "OUTP:FILT " + std::string(entry.value == "on" ? "ON" : "OFF");
    }
    return std::monostate{};
}

}  // namespace tavero::qt
