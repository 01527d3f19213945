// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "model/Origin.h"
#include "scpi/ErrorQueue.h"

namespace tavero::vxi11 {

/// Which connection a link belongs to; its links end with it.
using ClientId = std::uint64_t;

/// One VXI-11 link: a client of the instrument with its own status, as a raw-socket client.
struct Link {
    ClientId client = 0;
    model::Origin origin;  ///< who the link's client is to the generator
    scpi::ErrorQueue status;
    std::string message;   ///< written so far, until a write with END completes it
    bool overrun = false;  ///< the message outgrew its bound and is dropped up to its END
    /// `message` holds the lines of a write that waits for the profile file; the write is given
    /// again without new data.
    bool waitingForFile = false;
    std::string answer;  ///< not yet read
    bool remote = false;
    bool waiting = false;  ///< a call of the link waits for the lock
    /// device_abort came for the waiting call: it ends with the abort error when tried next.
    bool abortRequested = false;
};

}  // namespace tavero::vxi11
