// SPDX-License-Identifier: GPL-3.0-or-later
#include "vxi11/RecordReader.h"

#include <algorithm>
#include <utility>

#include "vxi11/Xdr.h"

namespace tavero::vxi11 {

namespace {

constexpr std::uint32_t kLastFragment = 0x80000000U;

}  // namespace

std::size_t RecordReader::wanted() const {
    switch (state_) {
        case State::kHeader:
            return 4 - headerBytes_;
        case State::kFragment:
            return fragmentLeft_;
        case State::kComplete:
        case State::kTooLong:
            break;
    }
    return 0;
}

std::size_t RecordReader::feed(std::string_view bytes) {
    std::size_t taken = 0;
    while (taken < bytes.size() && wanted() > 0) {
        if (state_ == State::kHeader) {
            header_ = (header_ << 8) | static_cast<unsigned char>(bytes[taken++]);
            ++gathered_;
            if (++headerBytes_ < 4) {
                continue;
            }
            lastFragment_ = (header_ & kLastFragment) != 0;
            fragmentLeft_ = header_ & ~kLastFragment;
            header_ = 0;
            headerBytes_ = 0;
            if (gathered_ > maxRecordBytes_ || fragmentLeft_ > maxRecordBytes_ - gathered_) {
                state_ = State::kTooLong;
                return taken;
            }
            state_ = State::kFragment;
        } else {
            const std::size_t part = std::min(fragmentLeft_, bytes.size() - taken);
            record_.append(bytes.substr(taken, part));
            taken += part;
            gathered_ += part;
            fragmentLeft_ -= part;
        }
        if (state_ == State::kFragment && fragmentLeft_ == 0) {
            state_ = lastFragment_ ? State::kComplete : State::kHeader;
        }
    }
    return taken;
}

std::string RecordReader::take() {
    state_ = State::kHeader;
    gathered_ = 0;
    return std::exchange(record_, {});
}

std::string markRecord(std::string_view record) {
    XdrWriter header;
    header.uint32(kLastFragment | static_cast<std::uint32_t>(record.size()));
    return header.take() + std::string(record);
}

}  // namespace tavero::vxi11
