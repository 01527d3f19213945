// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"
#include "model/Edit.h"

namespace tavero::ctl {

/// The generator for the length of one command of the tool: a connection of the tool's own, or
/// the generator of the window or server that holds it. Every failure has been written to the
/// tool's errors when a call returns false.
class GeneratorSession {
public:
    virtual ~GeneratorSession() = default;

    /// Connects; false after its message was written.
    virtual bool open() = 0;
    /// Reads the stored parameters into settings() and firmwareVersion().
    virtual bool readParameters() = 0;
    /// Sets the edit's fields and sends its commands.
    virtual bool apply(const model::Edit& edit) = 0;
    /// `r`: the factory reset; the generator needs a second before it answers again.
    virtual bool sendFactoryReset() = 0;
    /// Starts the firmware bootloader and ends the connection without the disconnect notice,
    /// which the bootloader would not understand.
    virtual bool startBootloader() = 0;
    /// Whether the generator vanished (unplugged) since the connect.
    virtual bool lost() const = 0;

    virtual const GeneratorSettings& settings() const = 0;
    /// In hundredths, as last read.
    virtual std::uint16_t firmwareVersion() const = 0;
};

}  // namespace tavero::ctl
