// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace tavero::sim {

/// CRC-16 of a frame over its bytes exactly as they go on the line (start byte and escapes
/// included, the CRC field itself not).
///
/// Parameters: width 16, polynomial 0x8005, initial value 0x800D, input not reflected, output
/// not reflected, no final XOR; check value over "123456789" is 0x9ECF.
///
/// Computed in the direct byte-wise form on purpose: the PC side gets the same values from a
/// bit-serial augmented register (preset 0xFFFF, two zero bytes at the end), so a mistake in
/// either construction shows up as a mismatch instead of cancelling out.
class FrameCrc {
public:
    static constexpr std::uint16_t kPolynomial = 0x8005;
    static constexpr std::uint16_t kInitialValue = 0x800D;

    void update(std::uint8_t lineByte);
    std::uint16_t value() const { return register_; }

    static std::uint16_t of(std::span<const std::uint8_t> lineBytes);

private:
    std::uint16_t register_ = kInitialValue;
};

}  // namespace tavero::sim
