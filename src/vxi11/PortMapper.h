// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavero::vxi11 {

inline constexpr std::uint32_t kPortMapperProgram = 100000;
inline constexpr std::uint32_t kPortMapperVersion = 2;
inline constexpr std::uint16_t kPortMapperPort = 111;
inline constexpr std::uint32_t kProtocolTcp = 6;
inline constexpr std::uint32_t kProtocolUdp = 17;

/// One program a port mapper names the port of.
struct PortMapping {
    std::uint32_t program = 0;
    std::uint32_t version = 0;
    std::uint32_t protocol = 0;  ///< kProtocolTcp or kProtocolUdp
    std::uint32_t port = 0;
};

/// A port mapper of version 2 for where no rpcbind runs: answers NULL, GETPORT and DUMP from
/// its fixed mappings, refuses SET and UNSET, and answers other versions with PROG_MISMATCH so
/// that libtirpc falls back to version 2. A program mapped more than once gets its ports in
/// turn from GETPORT, for clients that need a port of their own for every link.
class PortMapper {
public:
    explicit PortMapper(std::vector<PortMapping> mappings) : mappings_(std::move(mappings)) {}

    /// The reply to one record, or nothing when it is no call (no answer is owed to it).
    std::optional<std::string> answer(std::string_view record);

private:
    std::uint32_t portInTurn(const PortMapping& wanted);

    std::vector<PortMapping> mappings_;
    std::size_t turn_ = 0;  ///< GETPORTs answered from several mappings
};

}  // namespace tavero::vxi11
