// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/HostMessageSink.h"
#include "link/DeviceCommands.h"

namespace tavero::link {
class Com;
class PacketLink;
}  // namespace tavero::link

namespace tavero::dialogs {

/// The main window's port and link as a dialog uses them: the dialog's own command buffers,
/// with every failure shown as a message box of the dialog's host.
class GeneratorAccess {
public:
    GeneratorAccess(ui::Host& host, link::Com& port, link::PacketLink& link)
        : sink_(host), commands_(port, link, sink_) {}

    link::DeviceCommands& commands() { return commands_; }

private:
    HostMessageSink sink_;
    link::DeviceCommands commands_;
};

}  // namespace tavero::dialogs
