// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/TypedField.h"

// The fields of the sweep, modulation and PLL settings as every front end shows them and reads
// what is typed, with the window's messages.
namespace tavero::model {

inline constexpr std::string_view kSweepFrequencyRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\nMaximalfrequenz: 30000000.00 Hz";

inline constexpr TypedField kSweepStartField{.key = "Wobbel-Startfrequenz",
                                             .scale = 100.0,
                                             .decimals = 2,
                                             .refusal = kSweepFrequencyRefusal};
inline constexpr TypedField kSweepStopField{.key = "Wobbel-Stoppfrequenz",
                                            .scale = 100.0,
                                            .decimals = 2,
                                            .refusal = kSweepFrequencyRefusal};
/// In 0.1 Hz: 0.1 Hz to 20.0 Hz.
inline constexpr TypedField kSweepRateField{
    .key = "Wobbel-Frequenz",
    .scale = 10.0,
    .decimals = 1,
    .refusal =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
        "Auflösung: 0.1 Hz\nMinimalfrequenz: 0.1 Hz\nMaximalfrequenz: 20.0 Hz",
};

/// In 0.1 Hz: 1.0 Hz to 5000.0 Hz.
inline constexpr TypedField kModulationRateField{
    .key = "Modulationsfrequenz",
    .scale = 10.0,
    .decimals = 1,
    .refusal =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
        "Auflösung: 0.1 Hz\nMinimalfrequenz: 1.0 Hz\nMaximalfrequenz: 5000.0 Hz",
};
/// In degrees.
inline constexpr TypedField kPhaseDeviationField{
    .key = "Phasenhub",
    .reading = Reading::kInteger,
    .refusal =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
        "Auflösung: 1°\nMinimalphase: 1°\nMaximalphase: 359°",
};
/// In 0.01 Hz; zero and negative deviations are allowed.
inline constexpr TypedField kFrequencyDeviationField{
    .key = "Frequenzhub",
    .scale = 100.0,
    .decimals = 2,
    .refusal = kSweepFrequencyRefusal,
};

inline constexpr TypedField kPllFactorField{
    .key = "PLL-Faktor",
    .reading = Reading::kInteger,
    .refusal =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
        "Auflösung: 1\nMinimalfaktor: 1\nMaximalfaktor: 2048",
};
/// In 0.01 kHz: ±2,000,000.00 kHz.
inline constexpr TypedField kPllOffsetField{
    .key = "PLL-Offset",
    .scale = 100.0,
    .decimals = 2,
    .refusal =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
        "Auflösung: 0.25 Hz\nMinimalphase: -2000000.00 Hz\nMaximalphase:  2000000.00 Hz",
};

}  // namespace tavero::model
