// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

}  // namespace tavero::qt
