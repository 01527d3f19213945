// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tavero::scope {

/// An instrument that answered a search.
struct FoundInstrument {
    std::string resource;  ///< e.g. TCPIP::192.168.1.30::INSTR
    std::string identity;  ///< its *IDN? answer or service name, as the search gave it

    friend bool operator==(const FoundInstrument&, const FoundInstrument&) = default;
};

/// Searches the networks by VXI-11 broadcast and by multicast DNS (_lxi._tcp, _vxi-11._tcp,
/// _scpi-raw._tcp, through the Avahi daemon), through liblxi, each for about `timeout`.
/// Blocks; one search at a time per process.
std::vector<FoundInstrument> discoverInstruments(std::chrono::milliseconds timeout);

}  // namespace tavero::scope
