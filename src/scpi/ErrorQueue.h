// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "scpi/ScpiError.h"

namespace tavero::scpi {

/// Bits of the standard event status register.
enum EventStatusBit : std::uint8_t {
    kOperationComplete = 0x01,
    kQueryError = 0x04,
    kDeviceDependentError = 0x08,
    kExecutionErrorBit = 0x10,
    kCommandErrorBit = 0x20,
};

/// One client's error queue and event status: bounded, so a client that never reads its errors
/// cannot grow it.
class ErrorQueue {
public:
    static constexpr std::size_t kCapacity = 20;

    /// Queues an entry and sets its event status bit. A full queue keeps its oldest entries and
    /// turns the newest into a queue overflow.
    void push(ErrorEntry entry);
    /// The oldest entry, removed; `0,"No error"` when empty.
    ErrorEntry pop();
    void clear();
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    /// Reading the event status register clears it.
    std::uint8_t takeEventStatus();
    std::uint8_t eventStatus() const { return eventStatus_; }
    void setEventBits(std::uint8_t bits) { eventStatus_ |= bits; }
    std::uint8_t eventStatusEnable = 0;
    /// Which status byte bits request service (bit 6 is ignored).
    std::uint8_t serviceRequestEnable = 0;
    /// The enable masks of the SCPI operation and questionable status registers, whose events
    /// the generator never sets.
    std::uint16_t operationEnable = 0;
    std::uint16_t questionableEnable = 0;

    /// The status byte: error queue not empty (bit 2), message available (bit 4) when
    /// `messageAvailable`, summary of enabled events (bit 5), and the request bit (bit 6) when a
    /// bit the service request enable mask holds is set.
    std::uint8_t statusByte(bool messageAvailable = false) const;

private:
    std::deque<ErrorEntry> entries_;
    std::uint8_t eventStatus_ = 0;
};

}  // namespace tavero::scpi
