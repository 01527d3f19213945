// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <list>
#include <optional>
#include <string>

#include "sim/scope/ScopeDialect.h"
#include "vxi11/PortMapper.h"
#include "vxi11/RecordReader.h"

namespace tavero::sim {

struct ScopeServerOptions {
    std::string host = "127.0.0.1";
    std::uint16_t socketPort = 0;  ///< of the raw socket; 0 lets the system choose
    /// Also serve VXI-11: the core channel on a port the system chooses, told by a port mapper
    /// of the server's own on port 111 (UDP and TCP), which must be free.
    bool vxi11 = false;
    /// How long each measurement or trace takes the scope before it answers.
    std::chrono::milliseconds measureTime{0};
    /// After this many measurements or traces the scope drops off the network: every
    /// connection closes and nothing answers any more. 0: never.
    std::size_t dropAfter = 0;
};

/// Serves a simulated scope over a raw socket (one message per line) and VXI-11, on the
/// thread that calls run(). Logs "scope dropped" lines to `log` as the generator's server logs
/// its events.
class ScopeServer {
public:
    using Clock = std::chrono::steady_clock;
    /// The longest VXI-11 record taken, in bytes: a trace fits whole.
    static constexpr std::size_t kMaxRecordBytes = (1 << 20) + 1024;

    ScopeServer(ScopeDialect& dialect, const ScopeServerOptions& options, std::FILE* log,
                Clock::time_point logStart);
    ~ScopeServer();

    ScopeServer(const ScopeServer&) = delete;
    ScopeServer& operator=(const ScopeServer&) = delete;

    /// Opens the sockets; false on failure, with errno set.
    bool listen();
    std::uint16_t socketPort() const { return socketPort_; }

    /// Serves until `stop` is readable or the scope has dropped off.
    void run(int stop);

private:
    enum class Kind { kRaw, kCore, kMapper };
    struct Pending {
        Clock::time_point due;
        std::string bytes;
    };
    struct Read {
        std::uint32_t xid = 0;
        std::size_t requestSize = 0;
        Clock::time_point deadline;
    };
    struct Client {
        int fd = -1;
        Kind kind = Kind::kRaw;
        std::string input;   ///< raw socket: bytes of a line not yet ended
        std::string output;  ///< not yet written
        vxi11::RecordReader records{kMaxRecordBytes};
        std::deque<Pending> answers;
        std::optional<Read> read;  ///< a VXI-11 read waiting for its answer
    };

    void accept(int listener, Kind kind);
    /// Reads what the client sent; false when it closed.
    bool receive(Client& client, Clock::time_point now);
    void handleMessage(Client& client, std::string_view message, Clock::time_point now);
    void handleCoreRecord(Client& client, const std::string& record, Clock::time_point now);
    void answerMapperDatagram();
    /// Moves due answers to the output, and answers or times out a waiting VXI-11 read.
    void deliver(Client& client, Clock::time_point now);
    bool flush(Client& client);
    std::optional<Clock::time_point> nextDue() const;
    void drop();

    ScopeDialect& dialect_;
    ScopeServerOptions options_;
    std::FILE* log_;
    Clock::time_point logStart_;
    int socketListener_ = -1;
    int coreListener_ = -1;
    int mapperTcp_ = -1;
    int mapperUdp_ = -1;
    std::uint16_t socketPort_ = 0;
    std::optional<vxi11::PortMapper> mapper_;
    std::list<Client> clients_;
    std::uint32_t nextLink_ = 1;
    std::size_t measured_ = 0;
    bool dropped_ = false;
};

}  // namespace tavero::sim
