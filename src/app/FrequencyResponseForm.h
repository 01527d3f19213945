// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "measure/SweepRunner.h"

namespace tavero::app {

/// The fields of the frequency response dialog.
struct FrequencyResponseForm {
    std::string scope;  ///< the scope's resource name, e.g. TCPIP::192.168.1.30::INSTR
    double fromHz = 10;
    double toHz = 1e6;
    bool linear = false;
    unsigned points = 20;  ///< a decade, or in all when linear
    unsigned amplitudeMillivolt = 1000;
    int inputChannel = 1;
    int outputChannel = 2;
    measure::Method method = measure::Method::kCapture;
    unsigned settleMs = 5;
};

/// What keeps the form from a sweep, as the window says it; nothing when it can be swept.
std::optional<std::string_view> formProblem(const FrequencyResponseForm& form);

/// The sweep the form asks for; the frequencies in 0.01 Hz.
measure::SweepRequest sweepRequest(const FrequencyResponseForm& form);

/// Why a point has no value, as the window says it.
std::string_view exclusionText(measure::Exclusion exclusion);

}  // namespace tavero::app
