// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

#include "scpi/Instrument.h"

namespace tavero::qt {

/// What `tavero-ctl serve` is asked to serve.
struct ServeOptions {
    std::string listen;     ///< HOST:PORT; empty for 127.0.0.1:5025
    bool announce = false;  ///< announce the services by multicast DNS
    /// Serve the VXI-11 core channel on two ports that the server's own port mapper names in
    /// turn.
    bool vxi11AlternatePorts = false;
};

/// Runs `tavero-ctl serve` in the running QCoreApplication: connects to the generator, prints
/// the address listened on as the first line of `out`, and serves until SIGINT or SIGTERM.
/// Returns the exit status: 0 after an interrupt, 1 when the generator or the address failed,
/// 2 for an address that is not HOST:PORT.
int serveScpi(const scpi::InstrumentEnvironment& environment, const ServeOptions& options,
              std::ostream& out, std::ostream& errors);

}  // namespace tavero::qt
