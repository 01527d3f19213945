// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "vxi11/PortMapper.h"

namespace tavero::qt {

/// What the system's rpcbind said to a SET or UNSET.
enum class RpcbindAnswer {
    kNotRunning,  ///< nothing answers on the loopback port mapper port
    kRefused,     ///< it answered false, or not as a port mapper
    kDone,
};

/// Sets (or with `set` false, unsets) `mapping` with the port mapper on 127.0.0.1:111, over TCP
/// with port mapper version 2, waiting at most a second.
RpcbindAnswer changeRpcbindMapping(const vxi11::PortMapping& mapping, bool set);

/// The port the port mapper on 127.0.0.1:111 names for `mapping`'s program, version and
/// protocol: 0 when none is registered, nothing when it does not answer.
std::optional<std::uint32_t> registeredPort(const vxi11::PortMapping& mapping);

/// Whether the port mapper on 127.0.0.1:111 is rpcbind, which also answers versions 3 and 4,
/// rather than one that answers version 2 alone (such as another `tavero-ctl serve`).
bool portMapperIsRpcbind();

}  // namespace tavero::qt
