// SPDX-License-Identifier: GPL-3.0-or-later
#include "vxi11/RpcMessage.h"

#include <utility>

namespace tavero::vxi11 {

namespace {

constexpr std::uint32_t kCall = 0;
constexpr std::uint32_t kReply = 1;
constexpr std::uint32_t kRpcVersion = 2;
constexpr std::uint32_t kAccepted = 0;
constexpr std::uint32_t kDenied = 1;
constexpr std::uint32_t kRpcMismatch = 0;
constexpr std::uint32_t kAuthNone = 0;
/// The longest credential or verifier RPC allows.
constexpr std::size_t kMaxAuthBytes = 400;

XdrWriter replyHeader(std::uint32_t xid, AcceptStatus status) {
    XdrWriter out;
    out.uint32(xid);
    out.uint32(kReply);
    out.uint32(kAccepted);
    out.uint32(kAuthNone);
    out.opaque({});
    out.uint32(static_cast<std::uint32_t>(status));
    return out;
}

}  // namespace

std::optional<std::variant<RpcCall, RpcDenied>> readCall(std::string_view record) {
    try {
        RpcCall call;
        XdrReader in(record);
        call.xid = in.uint32();
        if (in.uint32() != kCall) {
            return std::nullopt;
        }
        if (in.uint32() != kRpcVersion) {
            XdrWriter out;
            out.uint32(call.xid);
            out.uint32(kReply);
            out.uint32(kDenied);
            out.uint32(kRpcMismatch);
            out.uint32(kRpcVersion);
            out.uint32(kRpcVersion);
            return RpcDenied{out.take()};
        }
        call.program = in.uint32();
        call.version = in.uint32();
        call.procedure = in.uint32();
        for (int auth = 0; auth < 2; ++auth) {  // credential and verifier, not checked
            in.uint32();
            in.opaque(kMaxAuthBytes);
        }
        call.arguments = in;
        return call;
    } catch (const XdrError&) {
        return std::nullopt;
    }
}

std::variant<RpcCall, std::string> callOf(std::string_view record, std::uint32_t program,
                                          std::uint32_t version) {
    auto read = readCall(record);
    if (!read) {
        return std::string();
    }
    if (auto* denied = std::get_if<RpcDenied>(&*read)) {
        return std::move(denied->reply);
    }
    const auto& call = std::get<RpcCall>(*read);
    if (call.program != program) {
        return acceptedReply(call.xid, AcceptStatus::kProgramUnavailable);
    }
    if (call.version != version) {
        return programMismatch(call.xid, version, version);
    }
    return call;
}

std::string acceptedReply(std::uint32_t xid, AcceptStatus status, std::string_view results) {
    XdrWriter out = replyHeader(xid, status);
    return out.take() + std::string(results);
}

std::string programMismatch(std::uint32_t xid, std::uint32_t lowVersion,
                            std::uint32_t highVersion) {
    XdrWriter out = replyHeader(xid, AcceptStatus::kProgramMismatch);
    out.uint32(lowVersion);
    out.uint32(highVersion);
    return out.take();
}

}  // namespace tavero::vxi11
