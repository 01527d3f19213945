// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <ostream>
#include <string_view>

namespace tavero::scpi {

/// The kinds of request of an oscilloscope's Bode plot that the generator cannot meet.
enum class ScopeHint { kFrequency, kAmplitude, kOffset, kPhase, kWaveform, kChannel, kOutputOff };

/// Says once per kind how to set the scope, rather than once per point of a sweep that asks
/// the same each time.
class ScopeHints {
public:
    explicit ScopeHints(std::ostream& out) : out_(out) {}

    /// Writes `line` and a newline unless a line of this kind has been written. A failed write
    /// does not count, so the next request of the kind tries again.
    void give(ScopeHint kind, std::string_view line);

private:
    static constexpr std::size_t kKinds = static_cast<std::size_t>(ScopeHint::kOutputOff) + 1;

    std::ostream& out_;
    std::bitset<kKinds> given_;
};

}  // namespace tavero::scpi
