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

/// Started beside the SCPI server once it listens, on the same instrument, and kept until the
/// server ends (the front panel): gets the SCPI address and the raw socket's port. Null after it
/// said why it failed.
using ServeCompanion =
    std::function<std::unique_ptr<QObject>(scpi::Instrument&, const ListenAddress&, quint16)>;

/// Runs `tavero-ctl serve` in the running QCoreApplication: connects to the generator, prints
/// the address listened on as the first line of `out`, starts `companion` if given, and serves
/// until SIGINT or SIGTERM. Returns the exit status: 0 after an interrupt, 1 when the generator,
/// the address or the companion failed, 2 for an address that is not HOST:PORT.
int serveScpi(const scpi::InstrumentEnvironment& environment, const std::string& listen,
              std::ostream& out, std::ostream& errors, const ServeCompanion& companion = {});

}  // namespace tavero::qt
