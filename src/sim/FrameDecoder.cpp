// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/FrameDecoder.h"

#include "sim/FrameFormat.h"

namespace tavero::sim {

void FrameDecoder::reset() {
    started_ = false;
    escapePending_ = false;
    decoded_ = 0;
    declaredLength_ = 0;
}

FrameDecoder::Event FrameDecoder::feed(std::uint8_t lineByte) {
    if (lineByte == kStartByte) {
        reset();
        started_ = true;
        payload_.clear();
        crc_ = FrameCrc{};
        crc_.update(lineByte);
        return Event::kNone;
    }
    if (!started_) {
        return Event::kNone;
    }
    if (!inCrcField()) {
        crc_.update(lineByte);
    }
    if (!escapePending_ && lineByte == kEscapeByte) {
        escapePending_ = true;
        return Event::kNone;
    }
    const auto value =
        escapePending_ ? static_cast<std::uint8_t>(lineByte & ~kEscapeFlag) : lineByte;
    escapePending_ = false;
    return take(value);
}

FrameDecoder::Event FrameDecoder::take(std::uint8_t value) {
    const std::size_t at = decoded_++;
    switch (at) {
        case 0:
            address_ = value;
            return Event::kNone;
        case 1:
            declaredLength_ = value;
            return Event::kNone;
        case 2:
            declaredLength_ |= std::size_t{value} << 8;
            if (declaredLength_ > kMaxPayloadSize) {
                reset();
                return Event::kRejected;
            }
            return Event::kNone;
        default:
            break;
    }
    const std::size_t crcAt = 3 + declaredLength_;
    if (at < crcAt) {
        payload_.push_back(value);
        return Event::kNone;
    }
    if (at == crcAt) {
        receivedCrc_ = value;
        return Event::kNone;
    }
    receivedCrc_ = static_cast<std::uint16_t>(receivedCrc_ | (value << 8));
    const bool sound = receivedCrc_ == crc_.value();
    reset();
    return sound ? Event::kFrame : Event::kRejected;
}

}  // namespace tavero::sim
