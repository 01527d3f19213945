// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::scope {

/// Where an instrument is, as a VISA resource name gives it.
struct Resource {
    enum class Kind {
        kVxi11,   ///< TCPIP[board]::HOST[::DEVICE]::INSTR
        kSocket,  ///< TCPIP[board]::HOST::PORT::SOCKET
        kUsbtmc,  ///< a device of Linux's usbtmc driver, /dev/usbtmcN
    };
    Kind kind = Kind::kVxi11;
    std::string host;
    std::uint16_t port = 0;        ///< kSocket only
    std::string device = "inst0";  ///< kVxi11 only
    std::string path;              ///< kUsbtmc only

    friend bool operator==(const Resource&, const Resource&) = default;
};

/// Reads a resource name; the keywords in any letter case. Nothing when it is none of the forms.
std::optional<Resource> parseResource(std::string_view name);

/// The resource name of a VXI-11 instrument at `host`.
std::string vxi11ResourceName(std::string_view host);

}  // namespace tavero::scope
