// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "vxi11/Xdr.h"

namespace tavero::vxi11 {

/// How a server accepted a call it could read.
enum class AcceptStatus : std::uint32_t {
    kSuccess = 0,
    kProgramUnavailable = 1,
    kProgramMismatch = 2,
    kProcedureUnavailable = 3,
    kGarbageArguments = 4,
};

/// An ONC RPC call: its header read, its arguments left in `arguments`.
struct RpcCall {
    std::uint32_t xid = 0;
    std::uint32_t program = 0;
    std::uint32_t version = 0;
    std::uint32_t procedure = 0;
    XdrReader arguments{std::string_view{}};
};

/// The answer owed to a record that is a call of another RPC version: denied, RPC_MISMATCH.
struct RpcDenied {
    std::string reply;
};

/// Reads the call header of a record. Nothing when the record is no call at all (a reply, or
/// too short to hold an xid and header), which leaves the stream unanswerable.
std::optional<std::variant<RpcCall, RpcDenied>> readCall(std::string_view record);

/// The call of `program` in `version` that the record holds; else the reply owed instead
/// (RPC_MISMATCH, PROG_UNAVAIL, PROG_MISMATCH), or an empty text when the record is no call and
/// the stream cannot be answered.
std::variant<RpcCall, std::string> callOf(std::string_view record, std::uint32_t program,
                                          std::uint32_t version);

/// An accepted reply with `status`; `results` follow it for kSuccess.
std::string acceptedReply(std::uint32_t xid, AcceptStatus status, std::string_view results = {});
/// PROG_MISMATCH naming the versions served.
std::string programMismatch(std::uint32_t xid, std::uint32_t lowVersion, std::uint32_t highVersion);

}  // namespace tavero::vxi11
