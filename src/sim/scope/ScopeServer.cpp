// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/ScopeServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <variant>
#include <vector>

#include "vxi11/RpcMessage.h"
#include "vxi11/Xdr.h"

namespace tavero::sim {

namespace {

constexpr std::uint32_t kCoreProgram = 0x0607AF;
constexpr std::uint32_t kCoreVersion = 1;
constexpr std::uint32_t kCreateLink = 10;
constexpr std::uint32_t kDeviceWrite = 11;
constexpr std::uint32_t kDeviceRead = 12;
constexpr std::uint32_t kDeviceClear = 15;
constexpr std::uint32_t kDestroyLink = 23;
constexpr std::uint32_t kIoTimeoutError = 15;
constexpr std::uint32_t kEndReason = 4;
/// The most a VXI-11 write or read carries; a trace fits whole.
constexpr std::uint32_t kMaxReceiveBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = 4096;

int openSocket(const std::string& host, std::uint16_t port, int type) {
    const int fd = socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    const int yes = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    const bool ok = setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
                    inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1 &&
                    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                    (type != SOCK_STREAM || ::listen(fd, 8) == 0);
    if (!ok) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::uint16_t boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

std::string success(std::uint32_t xid, const vxi11::XdrWriter& results) {
    return vxi11::markRecord(
        vxi11::acceptedReply(xid, vxi11::AcceptStatus::kSuccess, results.bytes()));
}

}  // namespace

ScopeServer::ScopeServer(ScopeDialect& dialect, const ScopeServerOptions& options, std::FILE* log,
                         Clock::time_point logStart)
    : dialect_(dialect), options_(options), log_(log), logStart_(logStart) {}

ScopeServer::~ScopeServer() {
    drop();
}

bool ScopeServer::listen() {
    socketListener_ = openSocket(options_.host, options_.socketPort, SOCK_STREAM);
    if (socketListener_ < 0) {
        return false;
    }
    socketPort_ = boundPort(socketListener_);
    if (!options_.vxi11) {
        return true;
    }
    coreListener_ = openSocket(options_.host, 0, SOCK_STREAM);
    mapperTcp_ = openSocket(options_.host, vxi11::kPortMapperPort, SOCK_STREAM);
    mapperUdp_ = openSocket(options_.host, vxi11::kPortMapperPort, SOCK_DGRAM);
    if (coreListener_ < 0 || mapperTcp_ < 0 || mapperUdp_ < 0) {
        return false;
    }
    mapper_.emplace(std::vector<vxi11::PortMapping>{
        {kCoreProgram, kCoreVersion, vxi11::kProtocolTcp, boundPort(coreListener_)}});
    return true;
}

void ScopeServer::drop() {
    for (Client& client : clients_) {
        close(client.fd);
    }
    clients_.clear();
    for (int* fd : {&socketListener_, &coreListener_, &mapperTcp_, &mapperUdp_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void ScopeServer::accept(int listener, Kind kind) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) {
        Client& client = clients_.emplace_back();
        client.fd = fd;
        client.kind = kind;
    }
}

void ScopeServer::handleMessage(Client& client, std::string_view message, Clock::time_point now) {
    std::optional<ScopeAnswer> answer = dialect_.handle(message, now);
    if (!answer) {
        return;
    }
    if (answer->measured && options_.dropAfter != 0 && ++measured_ > options_.dropAfter) {
        dropped_ = true;
        return;
    }
    Clock::time_point due = now + (answer->measured ? options_.measureTime : Clock::duration{});
    if (!client.answers.empty()) {
        due = std::max(due, client.answers.back().due);
    }
    client.answers.push_back({due, std::move(answer->bytes)});
}

void ScopeServer::handleCoreRecord(Client& client, const std::string& record,
                                   Clock::time_point now) {
    auto call = vxi11::callOf(record, kCoreProgram, kCoreVersion);
    if (const std::string* reply = std::get_if<std::string>(&call)) {
        client.output += reply->empty() ? std::string() : vxi11::markRecord(*reply);
        return;
    }
    vxi11::RpcCall& rpc = std::get<vxi11::RpcCall>(call);
    vxi11::XdrWriter results;
    try {
        switch (rpc.procedure) {
            case kCreateLink:
                results.uint32(0);
                results.uint32(nextLink_++);
                results.uint32(0);  // no abort channel
                results.uint32(kMaxReceiveBytes);
                break;
            case kDeviceWrite: {
                for (int i = 0; i < 4; ++i) {
                    rpc.arguments.uint32();  // link, io and lock time-outs, flags
                }
                const std::string_view data = rpc.arguments.opaque(kMaxReceiveBytes);
                std::size_t start = 0;
                while (start < data.size()) {
                    const std::size_t end = std::min(data.find('\n', start), data.size());
                    if (end > start) {
                        handleMessage(client, data.substr(start, end - start), now);
                    }
                    start = end + 1;
                }
                results.uint32(0);
                results.uint32(static_cast<std::uint32_t>(data.size()));
                break;
            }
            case kDeviceRead: {
                rpc.arguments.uint32();
                const std::uint32_t requestSize = rpc.arguments.uint32();
                const std::uint32_t ioTimeout = rpc.arguments.uint32();
                client.read =
                    Read{rpc.xid, requestSize, now + std::chrono::milliseconds(ioTimeout)};
                return;
            }
            case kDeviceClear:
                client.answers.clear();
                results.uint32(0);
                break;
            case kDestroyLink:
                results.uint32(0);
                break;
            default:
                client.output += vxi11::markRecord(
                    vxi11::acceptedReply(rpc.xid, vxi11::AcceptStatus::kProcedureUnavailable));
                return;
        }
    } catch (const vxi11::XdrError&) {
        client.output += vxi11::markRecord(
            vxi11::acceptedReply(rpc.xid, vxi11::AcceptStatus::kGarbageArguments));
        return;
    }
    client.output += success(rpc.xid, results);
}

bool ScopeServer::receive(Client& client, Clock::time_point now) {
    std::array<char, 65536> buffer{};
    const std::size_t wanted = client.kind == Kind::kRaw
                                   ? buffer.size()
                                   : std::min(buffer.size(), client.records.wanted());
    const ssize_t count = recv(client.fd, buffer.data(), wanted, 0);
    if (count <= 0) {
        return count < 0 && (errno == EAGAIN || errno == EINTR);
    }
    std::string_view bytes(buffer.data(), static_cast<std::size_t>(count));
    if (client.kind == Kind::kRaw) {
        client.input += bytes;
        std::size_t end = 0;
        while ((end = client.input.find('\n')) != std::string::npos) {
            const std::string line = client.input.substr(0, end);
            client.input.erase(0, end + 1);
            handleMessage(client, line, now);
        }
        return client.input.size() <= kMaxLineBytes;
    }
    while (!bytes.empty()) {
        bytes.remove_prefix(client.records.feed(bytes));
        if (client.records.tooLong()) {
            return false;
        }
        if (client.records.complete()) {
            const std::string record = client.records.take();
            if (client.kind == Kind::kCore) {
                handleCoreRecord(client, record, now);
            } else if (const std::optional<std::string> reply = mapper_->answer(record)) {
                client.output += vxi11::markRecord(*reply);
            }
        }
    }
    return true;
}

void ScopeServer::answerMapperDatagram() {
    std::array<char, 1024> datagram{};
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t count = recvfrom(mapperUdp_, datagram.data(), datagram.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &length);
    if (count <= 0) {
        return;
    }
    if (const std::optional<std::string> reply =
            mapper_->answer(std::string_view(datagram.data(), static_cast<std::size_t>(count)))) {
        sendto(mapperUdp_, reply->data(), reply->size(), 0, reinterpret_cast<sockaddr*>(&from),
               length);
    }
}

void ScopeServer::deliver(Client& client, Clock::time_point now) {
    if (client.kind == Kind::kRaw) {
        while (!client.answers.empty() && client.answers.front().due <= now) {
            client.output += client.answers.front().bytes;
            client.answers.pop_front();
        }
        return;
    }
    if (!client.read) {
        return;
    }
    vxi11::XdrWriter results;
    if (!client.answers.empty() && client.answers.front().due <= now) {
        std::string& bytes = client.answers.front().bytes;
        const std::size_t taken = std::min(bytes.size(), client.read->requestSize);
        results.uint32(0);
        results.uint32(taken == bytes.size() ? kEndReason : 0);
        results.opaque(std::string_view(bytes).substr(0, taken));
        bytes.erase(0, taken);
        if (bytes.empty()) {
            client.answers.pop_front();
        }
    } else if (now >= client.read->deadline) {
        results.uint32(kIoTimeoutError);
        results.uint32(0);
        results.opaque({});
    } else {
        return;
    }
    client.output += success(client.read->xid, results);
    client.read.reset();
}

bool ScopeServer::flush(Client& client) {
    while (!client.output.empty()) {
        const ssize_t written =
            send(client.fd, client.output.data(), client.output.size(), MSG_NOSIGNAL);
        if (written < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        client.output.erase(0, static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<ScopeServer::Clock::time_point> ScopeServer::nextDue() const {
    std::optional<Clock::time_point> due;
    for (const Client& client : clients_) {
        for (const auto time : {client.answers.empty() ? std::optional<Clock::time_point>()
                                                       : client.answers.front().due,
                                client.read ? std::optional(client.read->deadline)
                                            : std::optional<Clock::time_point>()}) {
            if (time && (!due || *time < *due)) {
                due = time;
            }
        }
    }
    return due;
}

void ScopeServer::run(int stop) {
    while (!dropped_) {
        std::vector<pollfd> fds = {{stop, POLLIN, 0}};
        const std::array<std::pair<int, Kind>, 3> listeners = {{{socketListener_, Kind::kRaw},
                                                                {coreListener_, Kind::kCore},
                                                                {mapperTcp_, Kind::kMapper}}};
        for (const auto& [fd, kind] : listeners) {
            fds.push_back({fd, POLLIN, 0});
        }
        fds.push_back({mapperUdp_, POLLIN, 0});
        for (const Client& client : clients_) {
            fds.push_back(
                {client.fd, static_cast<short>(POLLIN | (client.output.empty() ? 0 : POLLOUT)), 0});
        }
        int timeout = -1;
        if (const std::optional<Clock::time_point> due = nextDue()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
            timeout = static_cast<int>(std::max<std::int64_t>(wait.count(), 0));
        }
        if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            return;
        }
        for (std::size_t i = 0; i < listeners.size(); ++i) {
            if ((fds[i + 1].revents & POLLIN) != 0) {
                accept(listeners[i].first, listeners[i].second);
            }
        }
        if ((fds[listeners.size() + 1].revents & POLLIN) != 0) {
            answerMapperDatagram();
        }
        const Clock::time_point now = Clock::now();
        for (auto client = clients_.begin(); client != clients_.end();) {
            const auto polled = std::find_if(fds.begin(), fds.end(),
                                             [&](const pollfd& p) { return p.fd == client->fd; });
            bool open = polled == fds.end() ||
                        (polled->revents & (POLLIN | POLLHUP | POLLERR)) == 0 ||
                        receive(*client, now);
            deliver(*client, now);
            open = open && flush(*client);
            if (!open) {
                close(client->fd);
                client = clients_.erase(client);
            } else {
                ++client;
            }
        }
    }
    // Logged before the sockets close: what the client does about the drop comes after it.
    std::fprintf(log_, "%.6f scope dropped\n",
                 std::chrono::duration<double>(Clock::now() - logStart_).count());
    std::fflush(log_);
    drop();
}

}  // namespace tavero::sim
