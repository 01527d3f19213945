// SPDX-License-Identifier: GPL-3.0-or-later
#include "vxi11/PortMapper.h"

#include <utility>
#include <variant>

#include "vxi11/RpcMessage.h"

namespace tavero::vxi11 {

namespace {

enum PortMapperProcedure : std::uint32_t {
    kNull = 0,
    kSet = 1,
    kUnset = 2,
    kGetPort = 3,
    kDump = 4,
};

PortMapping readMapping(XdrReader& in) {
    PortMapping mapping;
    mapping.program = in.uint32();
    mapping.version = in.uint32();
    mapping.protocol = in.uint32();
    mapping.port = in.uint32();
    return mapping;
}

}  // namespace

std::uint32_t PortMapper::portInTurn(const PortMapping& wanted) {
    std::vector<std::uint32_t> ports;
    for (const PortMapping& mapping : mappings_) {
        if (mapping.program == wanted.program && mapping.version == wanted.version &&
            mapping.protocol == wanted.protocol) {
            ports.push_back(mapping.port);
        }
    }
    if (ports.empty()) {
        return 0;  // the protocol's "not registered"
    }
    if (ports.size() == 1) {
        return ports.front();
    }
    return ports[turn_++ % ports.size()];
}

std::optional<std::string> PortMapper::answer(std::string_view record) {
    auto read = callOf(record, kPortMapperProgram, kPortMapperVersion);
    if (auto* instead = std::get_if<std::string>(&read)) {
        if (instead->empty()) {
            return std::nullopt;
        }
        return std::move(*instead);
    }
    const auto& call = std::get<RpcCall>(read);
    XdrReader in = call.arguments;
    XdrWriter out;
    try {
        switch (call.procedure) {
            case kNull:
                break;
            case kSet:
            case kUnset:
                readMapping(in);
                out.uint32(0);  // the mappings are this server's own and fixed
                break;
            case kGetPort:
                out.uint32(portInTurn(readMapping(in)));
                break;
            case kDump:
                for (const PortMapping& mapping : mappings_) {
                    out.uint32(1);
                    out.uint32(mapping.program);
                    out.uint32(mapping.version);
                    out.uint32(mapping.protocol);
                    out.uint32(mapping.port);
                }
                out.uint32(0);
                break;
            default:
                return acceptedReply(call.xid, AcceptStatus::kProcedureUnavailable);
        }
    } catch (const XdrError&) {
        return acceptedReply(call.xid, AcceptStatus::kGarbageArguments);
    }
    return acceptedReply(call.xid, AcceptStatus::kSuccess, out.bytes());
}

}  // namespace tavero::vxi11
