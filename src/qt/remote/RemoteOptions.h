// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace tavero::qt {

/// Which network services to open on the generator, and where.
struct RemoteOptions {
    std::string listen{};    ///< HOST:PORT of raw SCPI and VXI-11; empty for 127.0.0.1:5025
    bool scpiSocket = true;  ///< raw SCPI on `listen`
    bool vxi11 = true;       ///< VXI-11 on the host of `listen`, with a port mapper
    std::string http{};      ///< [HOST:]PORT of the front panel; empty for none
    std::filesystem::path httpPasswordFile{};  ///< the front panel asks for it when given
    bool announce = false;                     ///< announce the services by multicast DNS
    /// Serve the VXI-11 core channel on two ports that the server's own port mapper names in
    /// turn.
    bool vxi11AlternatePorts = false;
};

}  // namespace tavero::qt
