// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "qt/network/RpcbindClient.h"
#include "vxi11/PortMapper.h"

namespace tavero::qt {

/// Registers `core` with the port mapper on 127.0.0.1:111. A registration of the same program
/// and version whose port nothing listens on any more, left by a server that was killed, is
/// removed and replaced, as servers made by rpcgen unset before they set; one line says so.
/// When it cannot register, one line on `errors` says why and what to do: which program holds a
/// live registration and the command that removes it, or that the port mapper is not rpcbind.
/// kNotRunning when no port mapper answers, kDone when registered.
RpcbindAnswer registerWithRpcbind(const vxi11::PortMapping& core, std::ostream& errors);

}  // namespace tavero::qt
