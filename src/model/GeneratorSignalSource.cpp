// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GeneratorSignalSource.h"

#include <string>
#include <utility>

#include "core/SettingsLimits.h"

namespace tavero::model {

GeneratorSignalSource::GeneratorSignalSource(Apply apply, const GeneratorSettings& settings)
    : apply_(std::move(apply)), original_(settings), sent_(settings) {}

measure::FrequencyRange GeneratorSignalSource::range() const {
    return {.minimumCentiHz = kFrequencyGridCentiHz,
            .maximumCentiHz = kMaximumFrequencyCentiHz,
            .gridCentiHz = kFrequencyGridCentiHz};
}

bool GeneratorSignalSource::send(const GeneratorSettings& draft, char command) {
    if (draft == sent_) {
        return true;
    }
    const GeneratorSettings before = std::exchange(sent_, draft);
    return apply_(Edit::fromDraft(before, draft, std::string(1, command)));
}

bool GeneratorSignalSource::start(std::uint32_t amplitudeMillivolt) {
    GeneratorSettings draft = sent_;
    draft.signalform = 0;
    if (!send(draft, 's')) {
        return false;
    }
    draft.konfiguration =
        static_cast<std::uint8_t>(draft.konfiguration & ~kKonfigurationBetriebsartMask);
    if (!send(draft, 'e')) {
        return false;
    }
    if (draft.minimalfrequenz > kFrequencyGridCentiHz ||
        draft.maximalfrequenz < kMaximumFrequencyCentiHz) {
        draft.minimalfrequenz = kFrequencyGridCentiHz;
        draft.maximalfrequenz = kMaximumFrequencyCentiHz;
    }
    if (!send(draft, 'c')) {
        return false;
    }
    draft.amplitude = amplitudeMillivolt;
    return send(draft, 'g');
}

bool GeneratorSignalSource::setFrequency(std::uint32_t frequencyCentiHz) {
    GeneratorSettings draft = sent_;
    draft.frequenz = frequencyCentiHz;
    return apply_(Edit::fromDraft(std::exchange(sent_, draft), draft, "f"));
}

bool GeneratorSignalSource::restore() {
    // Each group goes back even when one before it failed; the frequency before the limits, so
    // that it lies within them again when they arrive.
    std::string commands;
    const auto differs = [this](auto member) { return sent_.*member != original_.*member; };
    if (differs(&GeneratorSettings::frequenz)) {
        commands += 'f';
    }
    if (differs(&GeneratorSettings::minimalfrequenz) ||
        differs(&GeneratorSettings::maximalfrequenz)) {
        commands += 'c';
    }
    if (differs(&GeneratorSettings::amplitude)) {
        commands += 'g';
    }
    if (differs(&GeneratorSettings::konfiguration)) {
        commands += 'e';
    }
    if (differs(&GeneratorSettings::signalform)) {
        commands += 's';
    }
    const GeneratorSettings sent = std::exchange(sent_, original_);
    return commands.empty() || apply_(Edit::fromDraft(sent, original_, commands));
}

}  // namespace tavero::model
