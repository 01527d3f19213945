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

#include "vxi11/RecordReader.h"
#include "vxi11/RpcMessage.h"
#include "vxi11/Xdr.h"

namespace tavero::qt {

namespace {

constexpr std::uint32_t kSet = 1;
constexpr std::uint32_t kUnset = 2;
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

}  // namespace

RpcbindAnswer changeRpcbindMapping(const vxi11::PortMapping& mapping, bool set) {
    const Socket socket;
    if (socket.get() < 0) {
        return RpcbindAnswer::kNotRunning;
    }
    const timeval second{1, 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(vxi11::kPortMapperPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return RpcbindAnswer::kNotRunning;
    }
    vxi11::XdrWriter call;
    for (const std::uint32_t word :
         {kXid, 0U, 2U, vxi11::kPortMapperProgram, vxi11::kPortMapperVersion, set ? kSet : kUnset,
          0U, 0U, 0U, 0U, mapping.program, mapping.version, mapping.protocol, mapping.port}) {
        call.uint32(word);
    }
    const std::string request = vxi11::markRecord(call.bytes());
    if (::send(socket.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return RpcbindAnswer::kRefused;
    }
    vxi11::RecordReader reader(1024);
    while (!reader.complete() && !reader.tooLong()) {
        std::array<char, 256> buffer{};
        const ssize_t got =
            ::recv(socket.get(), buffer.data(), std::min(reader.wanted(), buffer.size()), 0);
        if (got <= 0) {
            return RpcbindAnswer::kRefused;
        }
        reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (!reader.complete()) {
        return RpcbindAnswer::kRefused;
    }
    const std::string reply = reader.take();
    try {
        vxi11::XdrReader in(reply);
        const bool accepted = in.uint32() == kXid && in.uint32() == 1 && in.uint32() == 0;
        in.uint32();
        in.opaque(400);
        const bool succeeded =
            accepted && in.uint32() == static_cast<std::uint32_t>(vxi11::AcceptStatus::kSuccess) &&
            in.boolean();
        return succeeded ? RpcbindAnswer::kDone : RpcbindAnswer::kRefused;
    } catch (const vxi11::XdrError&) {
        return RpcbindAnswer::kRefused;
    }
}

}  // namespace tavero::qt
