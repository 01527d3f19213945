// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/HostMessageSink.h"
#include "link/DeviceCommands.h"

namespace tavero::link {
class Com;
class MessageSink;
class PacketLink;
}  // namespace tavero::link

namespace tavero::dialogs {

/// The main window's port and link as a dialog uses them: the dialog's own command buffers,
/// with every failure reported to `failures`, or shown as a message box of the dialog's host
/// when there is none.
class GeneratorAccess {
public:
    GeneratorAccess(ui::Host& host, link::MessageSink* failures, link::Com& port,
                    link::PacketLink& link)
        : hostSink_(host), commands_(port, link, failures != nullptr ? *failures : hostSink_) {}

    GeneratorAccess(const GeneratorAccess&) = delete;
    GeneratorAccess& operator=(const GeneratorAccess&) = delete;

    link::DeviceCommands& commands() { return commands_; }

private:
    HostMessageSink hostSink_;
    link::DeviceCommands commands_;
};

}  // namespace tavero::dialogs
