// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavero::qt {

/// Who listens on TCP `port` of this computer: nothing when no socket does, else the program
/// ("tavero-ctl (pid 1234)"), or "a program of another user" when its process cannot be seen.
std::optional<std::string> tcpPortListener(std::uint16_t port);

}  // namespace tavero::qt
