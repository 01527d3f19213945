// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "qt/network/ListenAddress.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

/// A server started beside SCPI on the same instrument (the front panel) and kept until serve
/// ends; `server` is null after it said why it failed.
struct CompanionServer {
    std::unique_ptr<QObject> server;
    quint16 port = 0;  ///< where it serves, for the announcement
};

/// Starts a companion once the SCPI server listens: gets the SCPI address, the raw socket's
/// port and whether VXI-11 clients find the instrument through the port mapper.
using ServeCompanion =
    std::function<CompanionServer(scpi::Instrument&, const ListenAddress&, quint16, bool)>;

/// What `tavero-ctl serve` is asked to serve.
struct ServeOptions {
    std::string listen;     ///< HOST:PORT; empty for 127.0.0.1:5025
    bool announce = false;  ///< announce the services by multicast DNS
    /// Serve the VXI-11 core channel on two ports that the server's own port mapper names in
    /// turn.
    bool vxi11AlternatePorts = false;
    ServeCompanion companion;  ///< null for none
};

/// Runs `tavero-ctl serve` in the running QCoreApplication: connects to the generator, prints
/// the address listened on as the first line of `out`, starts the companion if given, and
/// serves until SIGINT or SIGTERM. Returns the exit status: 0 after an interrupt, 1 when the
/// generator, the address or the companion failed, 2 for an address that is not HOST:PORT.
int serveScpi(const scpi::InstrumentEnvironment& environment, const ServeOptions& options,
              std::ostream& out, std::ostream& errors);

}  // namespace tavero::qt
