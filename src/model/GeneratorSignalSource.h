// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "core/GeneratorSettings.h"
#include "measure/SignalSource.h"
#include "model/Edit.h"

namespace tavero::model {

/// The generator as the source of a frequency response sweep: a sine in standard mode at the
/// sweep's amplitude, limits wide enough for every frequency, each frequency sent with `f`.
/// restore() sends back each group of settings it changed. It drives the synthesiser's own
/// output; an external PLL stage is not counted in.
class GeneratorSignalSource final : public measure::SignalSource {
public:
    /// Carries out one edit on the generator; false after its failure was reported.
    using Apply = std::function<bool(const Edit&)>;

    /// @param settings the generator's settings before the sweep
    GeneratorSignalSource(Apply apply, const GeneratorSettings& settings);

    measure::FrequencyRange range() const override;
    bool start(std::uint32_t amplitudeMillivolt) override;
    bool setFrequency(std::uint32_t frequencyCentiHz) override;
    bool restore() override;

private:
    /// Sends `draft` where it differs from what was sent, with `command`; false when it failed.
    bool send(const GeneratorSettings& draft, char command);

    Apply apply_;
    const GeneratorSettings original_;
    GeneratorSettings sent_;
};

}  // namespace tavero::model
