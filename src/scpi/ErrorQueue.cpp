// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/ErrorQueue.h"

#include <utility>

namespace tavero::scpi {

namespace {

std::uint8_t eventBitOf(int code) {
    if (code > 0) {
        return kDeviceDependentError;
    }
    switch (-code / 100) {
        case 1:
            return kCommandErrorBit;
        case 2:
            return kExecutionErrorBit;
        case 4:
            return kQueryError;
        default:
            return kDeviceDependentError;
    }
}

}  // namespace

void ErrorQueue::push(ErrorEntry entry) {
    eventStatus_ |= eventBitOf(entry.code);
    if (entries_.size() < kCapacity) {
        entries_.push_back(std::move(entry));
    } else {
        entries_.back() = {kQueueOverflow, standardMessage(kQueueOverflow)};
    }
}

ErrorEntry ErrorQueue::pop() {
    if (entries_.empty()) {
        return {kNoError, standardMessage(kNoError)};
    }
    ErrorEntry oldest = std::move(entries_.front());
    entries_.pop_front();
    return oldest;
}

void ErrorQueue::clear() {
    entries_.clear();
    eventStatus_ = 0;
}

std::uint8_t ErrorQueue::takeEventStatus() {
    return std::exchange(eventStatus_, std::uint8_t{0});
}

std::uint8_t ErrorQueue::statusByte(bool messageAvailable) const {
    std::uint8_t status = 0;
    if (!entries_.empty()) {
        status |= 0x04;
    }
    if (messageAvailable) {
        status |= 0x10;
    }
    if ((eventStatus_ & eventStatusEnable) != 0) {
        status |= 0x20;
    }
    if ((status & serviceRequestEnable) != 0) {
        status |= 0x40;
    }
    return status;
}

}  // namespace tavero::scpi
