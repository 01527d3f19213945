// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"
#include "measure/SignalSource.h"

namespace tavero::link {

class DeviceCommands;

/// The generator as the source of a frequency response sweep, through the command set: a sine
/// in standard mode at the sweep's amplitude, limits wide enough for every frequency, each
/// frequency sent with `f`. restore() sends back each group of settings it changed. It drives
/// the synthesiser's own output; an external PLL stage is not counted in.
///
/// Every access of a sweep to the generator goes through this one class, so that the place
/// that owns the generator's connection can take it over whole.
class GeneratorSignalSource final : public measure::SignalSource {
public:
    /// @param commands the connection's commands; failures are reported through their sink
    /// @param settings the generator's settings before the sweep
    GeneratorSignalSource(DeviceCommands& commands, const GeneratorSettings& settings);

    measure::FrequencyRange range() const override;
    bool start(std::uint32_t amplitudeMillivolt) override;
    bool setFrequency(std::uint32_t frequencyCentiHz) override;
    bool restore() override;

private:
    DeviceCommands& commands_;
    const GeneratorSettings original_;
    GeneratorSettings sent_;
};

}  // namespace tavero::link
