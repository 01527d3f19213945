// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PllStage.h"

#include <algorithm>

#include "core/NumberText.h"
#include "core/SettingsLimits.h"

namespace tavero::model {

namespace {

constexpr std::string_view kLeastFrequencyRefusal =
    "Für den eingegebenen Offset, ist eine Mininalfrequenz\nvon größer als 30 MHz notwendig\n\n"
    "Erhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.";

/// The refusal of a least frequency above `Maximalfrequenz` (in 0.01 Hz), which would leave the
/// output no frequency to take.
std::string aboveMaximumRefusal(std::uint32_t maximalfrequenz) {
    return "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz "
           "von " +
           formatFixed(static_cast<double>(maximalfrequenz) / 100, 2) +
           " Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.";
}

}  // namespace

std::variant<GeneratorSettings, std::string> withPllStage(const GeneratorSettings& settings,
                                                          std::uint32_t factor,
                                                          std::int32_t offset) {
    GeneratorSettings staged = settings;
    staged.pllFaktor = factor;
    staged.pllOffset = offset;
    if (offset >= 0) {
        return staged;
    }
    const std::uint64_t least = pllRequiredMinimum(staged);  // in 0.01 Hz
    if (least > kMaximumFrequencyCentiHz) {
        return std::string(kLeastFrequencyRefusal);
    }
    if (least > settings.maximalfrequenz) {
        return aboveMaximumRefusal(settings.maximalfrequenz);
    }
    staged.minimalfrequenz = std::max(staged.minimalfrequenz, static_cast<std::uint32_t>(least));
    staged.frequenz = std::max(staged.frequenz, staged.minimalfrequenz);
    return staged;
}

}  // namespace tavero::model
