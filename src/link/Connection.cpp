// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Connection.h"

#include "core/BuildConfig.h"
#include "link/ComCP2102.h"
#include "link/DeviceCommands.h"
#include "link/PacketLink.h"

namespace tavero::link {

ConnectResult connectGenerator(ComCP2102& port, PacketLink& link, DeviceCommands& commands) {
    if (!port.OpenById(kGeneratorVendorId, kGeneratorProductId, kGeneratorBaudRate,
                       DeviceCommands::kTimeoutMs)) {
        return ConnectResult::kNoDevice;
    }
    link.SetCom(&port);
    port.Flush();
    if (!commands.SendConnect(true)) {
        port.Close();
        return ConnectResult::kHandshakeFailed;
    }
    return ConnectResult::kConnected;
}

DisconnectResult disconnectGenerator(ComCP2102& port, DeviceCommands& commands) {
    const bool notified = commands.SendConnect(false);
    return {notified, port.Close()};
}

}  // namespace tavero::link
