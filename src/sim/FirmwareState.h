// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "core/GeneratorSettings.h"

namespace tavero::sim {

/// The last calibration values the generator was sent; empty until the command came.
struct CalibrationValues {
    std::optional<std::uint64_t> oscillatorFrequencyCentiHz;  ///< `k`, in 0.01 Hz
    std::optional<std::uint16_t> outputLevel;   ///< `d`, raw level 0..16383 (16383 lowest)
    std::optional<std::uint16_t> levelAt200mV;  ///< `q`, first level: the one for 0.2 V
    std::optional<std::uint16_t> levelAt800mV;  ///< `q`, second level: the one for 0.8 V

    friend bool operator==(const CalibrationValues&, const CalibrationValues&) = default;
};

/// Everything the firmware keeps.
struct FirmwareState {
    static constexpr std::uint16_t kFirmwareVersion = 120;  ///< 1.20, in hundredths

    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::uint16_t firmwareVersion = kFirmwareVersion;  ///< in hundredths
    bool connected = false;                            ///< set by `x` with 1, cleared by `x` with 0
    bool inBootloader = false;
    CalibrationValues calibration;
};

}  // namespace tavero::sim
