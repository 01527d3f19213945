// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/GeneratorSignalSource.h"

#include "core/SettingsLimits.h"
#include "link/DeviceCommands.h"

namespace tavero::link {

namespace {

std::uint8_t modeOf(const GeneratorSettings& settings) {
    return static_cast<std::uint8_t>(settings.konfiguration & kKonfigurationBetriebsartMask);
}

/// The mode as the `e` command numbers it: 0 standard, 1 sweep, 2 modulation.
std::uint8_t modeCommand(std::uint8_t betriebsart) {
    return betriebsart == kBetriebsartWobbeln ? 1 : betriebsart == kBetriebsartModulation ? 2 : 0;
}

}  // namespace

GeneratorSignalSource::GeneratorSignalSource(DeviceCommands& commands,
                                             const GeneratorSettings& settings)
    : commands_(commands), original_(settings), sent_(settings) {}

measure::FrequencyRange GeneratorSignalSource::range() const {
    return {.minimumCentiHz = kFrequencyGridCentiHz,
            .maximumCentiHz = kMaximumFrequencyCentiHz,
            .gridCentiHz = kFrequencyGridCentiHz};
}

bool GeneratorSignalSource::start(std::uint32_t amplitudeMillivolt) {
    if (sent_.signalform != 0) {
        sent_.signalform = 0;
        if (!commands_.SendWaveform(0)) {
            return false;
        }
    }
    if (modeOf(sent_) != kBetriebsartStandard) {
        sent_.konfiguration =
            static_cast<std::uint8_t>(sent_.konfiguration & ~kKonfigurationBetriebsartMask);
        if (!commands_.SendMode(0)) {
            return false;
        }
    }
    if (sent_.minimalfrequenz > kFrequencyGridCentiHz ||
        sent_.maximalfrequenz < kMaximumFrequencyCentiHz) {
        sent_.minimalfrequenz = kFrequencyGridCentiHz;
        sent_.maximalfrequenz = kMaximumFrequencyCentiHz;
        if (!commands_.SendLimits(sent_)) {
            return false;
        }
    }
    if (sent_.amplitude != amplitudeMillivolt) {
        sent_.amplitude = amplitudeMillivolt;
        return commands_.SendAmplitude(sent_);
    }
    return true;
}

bool GeneratorSignalSource::setFrequency(std::uint32_t frequencyCentiHz) {
    sent_.frequenz = frequencyCentiHz;
    return commands_.SendFrequency(sent_);
}

bool GeneratorSignalSource::restore() {
    // Each group goes back even when one before it failed; the frequency before the limits, so
    // that it lies within them again when they arrive.
    bool ok = true;
    if (sent_.frequenz != original_.frequenz) {
        ok = commands_.SendFrequency(original_) && ok;
    }
    if (sent_.minimalfrequenz != original_.minimalfrequenz ||
        sent_.maximalfrequenz != original_.maximalfrequenz) {
        ok = commands_.SendLimits(original_) && ok;
    }
    if (sent_.amplitude != original_.amplitude) {
        ok = commands_.SendAmplitude(original_) && ok;
    }
    if (modeOf(sent_) != modeOf(original_)) {
        ok = commands_.SendMode(modeCommand(modeOf(original_))) && ok;
    }
    if (sent_.signalform != original_.signalform) {
        ok = commands_.SendWaveform(original_.signalform) && ok;
    }
    sent_ = original_;
    return ok;
}

}  // namespace tavero::link
