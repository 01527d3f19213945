// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string_view>

#include "qt/network/ServiceAnnouncement.h"

namespace tavero::qt {

/// The ports the server answers on, for the announcement.
struct ServedPorts {
    std::uint16_t scpiRaw = 0;     ///< 0 without the raw socket
    std::uint16_t portMapper = 0;  ///< 0 when VXI-11 clients cannot find the core channel
    std::uint16_t web = 0;         ///< 0 without the web page
};

/// Announces the instrument as LXI, VXI-11 and raw SCPI services by multicast DNS on the
/// interfaces that reach `host`, with the fields of `identity` (a *IDN? answer) in the TXT
/// record. Says in one line on `errors`, named by `program`, why nothing is announced; null then.
std::unique_ptr<ServiceAnnouncement> announceInstrument(std::string_view identity,
                                                        const QHostAddress& host,
                                                        const ServedPorts& ports,
                                                        std::ostream& errors,
                                                        std::string_view program);

}  // namespace tavero::qt
