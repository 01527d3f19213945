// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OutputFrequency.h"

#include <limits>

#include "core/SettingsLimits.h"

namespace tavero::app {

namespace {

/// `pllOffset` x 1000 in 0.01 Hz; fits easily in 64 bits.
std::int64_t offsetCentiHz(const GeneratorSettings& settings) {
    return static_cast<std::int64_t>(settings.pllOffset) * 1000;
}

}  // namespace

std::uint64_t outputFrequencyOf(const GeneratorSettings& settings, std::uint32_t frequenz) {
    // Unsigned arithmetic wraps where signed would overflow; the bits are the same.
    return std::uint64_t{frequenz} * effectivePllFactor(settings) +
           static_cast<std::uint64_t>(offsetCentiHz(settings));
}

std::uint32_t frequenzForOutput(const GeneratorSettings& settings, std::uint64_t output) {
    // The forward rule wraps a negative output into the unsigned range; read it back as signed.
    const auto signedOutput = static_cast<std::int64_t>(output);
    const std::int64_t offset = offsetCentiHz(settings);
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    // Saturate instead of overflowing; only outputs near +-2^63 come close.
    const std::int64_t difference = offset < 0 && signedOutput > kMax + offset ? kMax
                                    : offset > 0 && signedOutput < kMin + offset
                                        ? kMin
                                        : signedOutput - offset;
    const std::int64_t quotient =
        difference / static_cast<std::int64_t>(effectivePllFactor(settings));
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(quotient));
}

}  // namespace tavero::app
