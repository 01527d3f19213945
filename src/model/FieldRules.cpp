// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FieldRules.h"

#include <array>
#include <stdexcept>
#include <string>

#include "core/SettingsLimits.h"

namespace tavero::model {

namespace {

constexpr std::int64_t kMaxFrequency = kMaximumFrequencyCentiHz;
constexpr std::int64_t kGrid = kFrequencyGridCentiHz;

using enum StoredUnit;

// In record order.
// Modulationseinstellungen: bits 0-1 free, bits 2-3 one of 0, 4, 8 -> exactly 0..11.
// Konfiguration: bit 0 free, bits 1-2 one of 0, 2, 4 -> exactly 0..5.
constexpr std::array<FieldRule, kSettingsFieldCount> kRules = {{
    {"Frequenz", 'f', kGrid, kMaxFrequency, kGrid, kCentiHertz},
    {"Minimalfrequenz", 'c', kGrid, kMaxFrequency, kGrid, kCentiHertz},
    {"Maximalfrequenz", 'c', kGrid, kMaxFrequency, kGrid, kCentiHertz},
    {"Schrittweite", 'z', 0, kMaxFrequency, kGrid, kCentiHertz},
    {"Amplitude", 'g', 0, kMaximumAmplitudeMillivolt, 1, kMillivolt},
    {"Wobbel-Startfrequenz", 'w', kGrid, kMaxFrequency, kGrid, kCentiHertz},
    {"Wobbel-Stoppfrequenz", 'w', kGrid, kMaxFrequency, kGrid, kCentiHertz},
    {"Wobbel-Frequenz", 'w', 1, 200, 1, kDeciHertz},
    {"Signalform", 's', 0, 3, 1, kBits},
    {"Modulationseinstellungen", 'm', 0, 11, 1, kBits},
    {"Frequenzhub", 'm', -kMaxFrequency, kMaxFrequency, kGrid, kCentiHertz},
    {"Phasenhub", 'm', 1, 359, 1, kDegree},
    {"Amplitudenhub", 'm', 0, 100, 1, kPercent},
    {"Modulationsfrequenz", 'm', 10, 50000, 1, kDeciHertz},
    {"Konfiguration", 'a', 0, 5, 1, kBits},
    {"PLL-Faktor", 't', 1, 2048, 1, kBits},
    {"PLL-Offset", 'o', -200000000, 200000000, 1, kCentiKilohertz},
}};

static_assert([] {
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        if (kRules[i].minimum % kRules[i].grid != 0 || kRules[i].maximum % kRules[i].grid != 0) {
            return false;
        }
    }
    return true;
}());

}  // namespace

std::optional<std::int64_t> FieldRule::admit(std::int64_t value, GridPolicy policy) const {
    if (!inRange(value)) {
        return std::nullopt;
    }
    if (onGrid(value)) {
        return value;
    }
    if (policy == GridPolicy::kRefuse) {
        return std::nullopt;
    }
    // Half way rounds away from zero; the range's ends lie on the grid, so rounding stays in it.
    const std::int64_t remainder = value % grid;
    const std::int64_t toward = value - remainder;
    const bool away = 2 * (remainder < 0 ? -remainder : remainder) >= grid;
    return away ? toward + (remainder < 0 ? -grid : grid) : toward;
}

const FieldRule& fieldRule(std::size_t field) {
    return kRules.at(field);
}

const FieldRule& fieldRule(std::string_view key) {
    const std::size_t field = settingsFieldIndex(key);
    if (field == kSettingsFieldCount) {
        throw std::invalid_argument("no settings field '" + std::string(key) + "'");
    }
    return kRules[field];
}

}  // namespace tavero::model
