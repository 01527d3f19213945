// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/FrameCrc.h"

namespace tavero::sim {

void FrameCrc::update(std::uint8_t lineByte) {
    register_ ^= static_cast<std::uint16_t>(lineByte << 8);
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (register_ & 0x8000U) != 0;
        register_ = static_cast<std::uint16_t>(register_ << 1);
        if (carry) {
            register_ ^= kPolynomial;
        }
    }
}

std::uint16_t FrameCrc::of(std::span<const std::uint8_t> lineBytes) {
    FrameCrc crc;
    for (const std::uint8_t b : lineBytes) {
        crc.update(b);
    }
    return crc.value();
}

}  // namespace tavero::sim
