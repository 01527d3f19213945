// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/OutputFrequency.h"

#include <algorithm>
#include <limits>

#include "core/SettingsLimits.h"

namespace tavero::model {

namespace {

/// `pllOffset` x 1000 in 0.01 Hz; below 2^42 in size.
std::int64_t offsetCentiHz(const GeneratorSettings& settings) {
    return static_cast<std::int64_t>(settings.pllOffset) * 1000;
}

/// Far above the largest shown frequency, yet far enough below the 64-bit limit that adding
/// any offset or step cannot overflow.
constexpr std::uint64_t kSaturatedProductCentiHz = std::uint64_t{1} << 62;

}  // namespace

std::int64_t outputFrequencyOf(const GeneratorSettings& settings, std::uint32_t frequenz) {
    // Two 32-bit factors: the product always fits in 64 unsigned bits.
    const std::uint64_t product = std::uint64_t{frequenz} * effectivePllFactor(settings);
    return static_cast<std::int64_t>(std::min(product, kSaturatedProductCentiHz)) +
           offsetCentiHz(settings);
}

std::uint32_t frequenzForOutput(const GeneratorSettings& settings, std::int64_t output) {
    const std::int64_t offset = offsetCentiHz(settings);
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    // Saturate instead of overflowing; only outputs near +-2^63 come close.
    const std::int64_t difference = offset < 0 && output > kMax + offset   ? kMax
                                    : offset > 0 && output < kMin + offset ? kMin
                                                                           : output - offset;
    const std::int64_t quotient =
        difference / static_cast<std::int64_t>(effectivePllFactor(settings));
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(quotient));
}

}  // namespace tavero::model
