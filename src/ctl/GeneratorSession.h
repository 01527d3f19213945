// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "core/GeneratorSettings.h"
#include "ctl/StreamMessageSink.h"
#include "link/ComCP2102.h"
#include "link/DeviceCommands.h"
#include "link/PacketLink.h"
#include "link/TraceFile.h"

namespace tavero::ctl {

/// One connection to the generator for the length of a command: connects on `open`, sends
/// the disconnect notice (unless the generator vanished) and closes the port when destroyed.
/// Failures go to `errors`.
class GeneratorSession {
public:
    /// @param diagnostics where the link prints received frames
    /// @param trace where the link appends what it sends; must outlive the session
    /// @param disconnectFailed set when the disconnect notice or the closing of the port fails,
    ///        after its message was written
    GeneratorSession(link::UsbBridge& bridge, std::ostream& errors, std::ostream& diagnostics,
                     link::TraceFile& trace, bool& disconnectFailed);
    ~GeneratorSession();

    GeneratorSession(const GeneratorSession&) = delete;
    GeneratorSession& operator=(const GeneratorSession&) = delete;

    /// Connects; false after its message was written.
    bool open();
    /// Reads the stored parameters into `settings` and `firmwareVersion` (in hundredths).
    bool readParameters();
    /// Starts the firmware bootloader and closes the port without the disconnect notice, which
    /// the bootloader would not understand. False after its message was written.
    bool startBootloader();

    link::DeviceCommands& commands() { return commands_; }
    /// Whether the generator vanished (unplugged) since the connect.
    bool lost() const { return port_.deviceLost(); }
    /// Notices a generator that vanished without an exchange, as the window's watch does: a
    /// flush sends nothing and fails at once on a device that has gone. Whether it is still
    /// there.
    bool watch() { return port_.Flush() || !port_.deviceLost(); }
    GeneratorSettings settings;
    std::uint16_t firmwareVersion = 0;

private:
    std::ostream& errors_;
    bool& disconnectFailed_;
    StreamMessageSink sink_;
    link::ComCP2102 port_;
    link::PacketLink link_;
    link::DeviceCommands commands_;
    bool connected_ = false;
};

}  // namespace tavero::ctl
