// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <ostream>

#include "ctl/RunClock.h"
#include "qt/remote/RemoteOptions.h"
#include "store/FileWriter.h"

namespace tavero::link {
class TraceFile;
class UsbBridge;
}  // namespace tavero::link

namespace tavero::qt {

/// What `tavero-ctl serve` works with. The references must outlive the command.
struct ServeEnvironment {
    link::UsbBridge& bridge;
    link::TraceFile& trace;             ///< every byte sent is appended to it
    std::ostream& diagnostics;          ///< frames received
    std::filesystem::path profileFile;  ///< the window's; empty when there is no data folder
    store::FileWriter& fileWriter;
    ctl::RunClock& clock;
    std::ostream& out;
    std::ostream& errors;
    /// The canonical path of the device held, for tavero-ctl to reach it through the server;
    /// null or empty for none.
    std::function<QString()> heldDevicePath;
};

/// `tavero-ctl serve`, in the running QCoreApplication: connects to the generator, starts the
/// services, serves until SIGINT, SIGTERM or SIGHUP, and sends the disconnect notice. While it
/// serves it watches the generator, and connects again by itself to one plugged in again; the other
/// commands of tavero-ctl reach the generator through it meanwhile. Returns the
/// exit status: 0 after an interrupt, 1 when the generator, an address or the front panel
/// failed, 2 for an address that cannot be one.
int serve(const ServeEnvironment& environment, const RemoteOptions& options);

}  // namespace tavero::qt
