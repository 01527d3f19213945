// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/RpcbindRegistration.h"

#include <cstdint>
#include <optional>
#include <string>

#include "qt/network/TcpPortListener.h"

namespace tavero::qt {

namespace {

constexpr char kNotFound[] = "tavero-ctl: VXI-11 clients will not find this instrument: ";
constexpr char kRemoveCommand[] = "'rpcinfo -d 395183 1'";

}  // namespace

RpcbindAnswer registerWithRpcbind(const vxi11::PortMapping& core, std::ostream& errors) {
    const RpcbindAnswer first = changeRpcbindMapping(core, true);
    if (first != RpcbindAnswer::kRefused) {
        return first;
    }
    if (!portMapperIsRpcbind()) {
        errors << kNotFound
               << "the port mapper on port 111 is not rpcbind but one that keeps "
                  "its own mappings (such as another tavero-ctl serve, which answers port 111 "
                  "itself) and refused to register it; end that server, or give clients port "
               << core.port << " directly\n";
        return RpcbindAnswer::kRefused;
    }
    const std::uint32_t held = registeredPort(core).value_or(0);
    if (held == 0) {
        errors << kNotFound << "rpcbind refused to register it; give clients port " << core.port
               << " directly\n";
        return RpcbindAnswer::kRefused;
    }
    const std::optional<std::string> holder =
        held == core.port ? std::nullopt : tcpPortListener(static_cast<std::uint16_t>(held));
    if (holder) {
        errors << kNotFound << "rpcbind names port " << held << " for VXI-11, where " << *holder
               << " listens; end that server, or if it serves no VXI-11, " << kRemoveCommand
               << " removes its registration; else give clients port " << core.port
               << " directly\n";
        return RpcbindAnswer::kRefused;
    }
    const vxi11::PortMapping stale{core.program, core.version, core.protocol, held};
    if (changeRpcbindMapping(stale, false) != RpcbindAnswer::kDone ||
        changeRpcbindMapping(core, true) != RpcbindAnswer::kDone) {
        errors << kNotFound << "rpcbind names port " << held
               << " for VXI-11, where nothing listens any more, and refused to replace it; "
               << kRemoveCommand << " (as root if it was registered as root) removes it\n";
        return RpcbindAnswer::kRefused;
    }
    errors << "tavero-ctl: rpcbind named port " << held
           << " for VXI-11, where nothing listens any more (a server that ended without taking "
              "it back): registered port "
           << core.port << " instead\n";
    return RpcbindAnswer::kDone;
}

}  // namespace tavero::qt
