// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/RpcbindClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "vxi11/RecordReader.h"
#include "vxi11/RpcMessage.h"
#include "vxi11/Xdr.h"

namespace tavero::qt {

namespace {

enum PortMapperProcedure : std::uint32_t {
    kNull = 0,
    kSet = 1,
    kUnset = 2,
    kGetPort = 3,
};
constexpr std::uint32_t kRpcbindVersion = 4;
constexpr std::uint32_t kXid = 0x54415645;  // "TAVE"

/// A socket closed when it goes out of scope; nothing is written to it after an error.
class Socket {
public:
    Socket() : descriptor_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);  // a read-only exchange: nothing is lost when it fails
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

/// A port mapper's reply: whether it answered at all, how it accepted the call, and the results.
struct MapperReply {
    bool answered = false;
    std::optional<vxi11::AcceptStatus> status;  ///< nothing when the call was denied
    std::string results;
};

/// Calls `procedure` of the port mapper on 127.0.0.1:111 in `version` over TCP, waiting at most a
/// second.
MapperReply callPortMapper(std::uint32_t version, std::uint32_t procedure,
                           const std::vector<std::uint32_t>& arguments) {
    const Socket socket;
    if (socket.get() < 0) {
        return {};
    }
    const timeval second{1, 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(vxi11::kPortMapperPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    vxi11::XdrWriter call;
    for (const std::uint32_t word :
         {kXid, 0U, 2U, vxi11::kPortMapperProgram, version, procedure, 0U, 0U, 0U, 0U}) {
        call.uint32(word);
    }
    for (const std::uint32_t word : arguments) {
        call.uint32(word);
    }
    const std::string request = vxi11::markRecord(call.bytes());
    MapperReply reply;
    reply.answered = true;
    if (::send(socket.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return reply;
    }
    vxi11::RecordReader reader(1024);
    while (!reader.complete() && !reader.tooLong()) {
        std::array<char, 256> buffer{};
        const ssize_t got =
            ::recv(socket.get(), buffer.data(), std::min(reader.wanted(), buffer.size()), 0);
        if (got <= 0) {
            return reply;
        }
        reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (!reader.complete()) {
        return reply;
    }
    const std::string record = reader.take();
    try {
        vxi11::XdrReader in(record);
        if (in.uint32() != kXid || in.uint32() != 1 || in.uint32() != 0) {
            return reply;  // not our reply, or denied
        }
        in.uint32();
        in.opaque(400);
        reply.status = static_cast<vxi11::AcceptStatus>(in.uint32());
        reply.results =
            std::string(record.end() - static_cast<std::ptrdiff_t>(in.remaining()), record.end());
    } catch (const vxi11::XdrError&) {
        reply.status.reset();
    }
    return reply;
}

/// The first word of a successful reply's results.
std::optional<std::uint32_t> firstResult(const MapperReply& reply) {
    if (reply.status != vxi11::AcceptStatus::kSuccess) {
        return std::nullopt;
    }
    try {
        vxi11::XdrReader in(reply.results);
        return in.uint32();
    } catch (const vxi11::XdrError&) {
        return std::nullopt;
    }
}

}  // namespace

RpcbindAnswer changeRpcbindMapping(const vxi11::PortMapping& mapping, bool set) {
    const MapperReply reply =
        callPortMapper(vxi11::kPortMapperVersion, set ? kSet : kUnset,
                       {mapping.program, mapping.version, mapping.protocol, mapping.port});
    if (!reply.answered) {
        return RpcbindAnswer::kNotRunning;
    }
    const std::optional<std::uint32_t> succeeded = firstResult(reply);
    return succeeded && *succeeded != 0 ? RpcbindAnswer::kDone : RpcbindAnswer::kRefused;
}

std::optional<std::uint32_t> registeredPort(const vxi11::PortMapping& mapping) {
    return firstResult(callPortMapper(vxi11::kPortMapperVersion, kGetPort,
                                      {mapping.program, mapping.version, mapping.protocol, 0}));
}

bool portMapperIsRpcbind() {
    return callPortMapper(kRpcbindVersion, kNull, {}).status == vxi11::AcceptStatus::kSuccess;
}

}  // namespace tavero::qt
