// SPDX-License-Identifier: GPL-3.0-or-later
// What the network instrument adds to an exchange: `FREQ 1000;*OPC?` from a TCP client through
// tavero-ctl serve, against the same `f` exchange sent straight over the link, as tavero-ctl
// set sends it, both against tavero-sim pacing a pseudo-terminal at 76800 baud. How long a
// client's `*IDN?` waits while another client streams 1000 lines, against the 50 ms plus one
// exchange it may take. And over VXI-11, in a network namespace of the benchmark's own where
// the server answers port 111: `*IDN?` per second against the raw socket, and one point of a
// Siglent scope's Bode plot (GETPORT, link, `C1:BSWV FRQ,x`, destroy) against the bare `f`.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "core/BuildConfig.h"
#include "core/GeneratorSettings.h"
#include "link/ComCP2102.h"
#include "link/Connection.h"
#include "link/DeviceCommands.h"
#include "link/MessageSink.h"
#include "link/PacketLink.h"
#include "qt/serial/SerialPortBridge.h"
#include "vxi11/CoreService.h"
#include "vxi11/PortMapper.h"
#include "vxi11/RecordReader.h"
#include "vxi11/Xdr.h"

namespace {

using namespace tavero;

[[noreturn]] void fail(const std::string& what) {
    std::cerr << what << '\n';
    std::abort();
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

/// A TCP client of tavero-ctl serve on loopback.
class Client {
public:
    explicit Client(int port) : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
        const sockaddr_in address = loopback(port);
        const int on = 1;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            fail("cannot connect to tavero-ctl serve");
        }
    }
    ~Client() { close(socket_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = write(socket_, bytes.data(), bytes.size());
            if (sent <= 0) {
                fail("cannot send to tavero-ctl serve");
            }
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
    }

    /// The answer without its LF; the server sends nothing after it unasked.
    std::string query(std::string_view line) {
        send(line);
        std::string answer;
        char chunk[256];
        while (!answer.ends_with('\n')) {
            const ssize_t got = read(socket_, chunk, sizeof chunk);
            if (got <= 0) {
                fail("tavero-ctl serve closed the connection");
            }
            answer.append(chunk, static_cast<std::size_t>(got));
        }
        answer.pop_back();
        return answer;
    }

    /// One ONC RPC call of the VXI-11 core channel; the results after the accepted reply's
    /// header.
    std::string call(std::uint32_t procedure, const std::string& arguments) {
        send(vxi11::markRecord(callRecord(++xid_, vxi11::kCoreProgram, 1, procedure, arguments)));
        vxi11::RecordReader reader(vxi11::CoreService::kMaxRecordBytes);
        char chunk[4096];
        while (!reader.complete()) {
            const ssize_t got = read(socket_, chunk, std::min(sizeof chunk, reader.wanted()));
            if (got <= 0 || reader.tooLong()) {
                fail("the VXI-11 core channel closed the connection");
            }
            reader.feed(std::string_view(chunk, static_cast<std::size_t>(got)));
        }
        return resultsOf(reader.take(), xid_);
    }

    static std::string callRecord(std::uint32_t xid, std::uint32_t program, std::uint32_t version,
                                  std::uint32_t procedure, const std::string& arguments) {
        vxi11::XdrWriter out;
        for (const std::uint32_t word :
             {xid, 0U, 2U, program, version, procedure, 0U, 0U, 0U, 0U}) {
            out.uint32(word);
        }
        return out.take() + arguments;
    }

    static std::string resultsOf(const std::string& reply, std::uint32_t xid) {
        vxi11::XdrReader in(reply);
        if (in.uint32() != xid || in.uint32() != 1 || in.uint32() != 0) {
            fail("the RPC reply is not the accepted reply of the call");
        }
        in.uint32();
        in.opaque(400);
        if (in.uint32() != 0) {
            fail("the RPC call was not carried out");
        }
        return reply.substr(reply.size() - in.remaining());
    }

private:
    int socket_;
    std::uint32_t xid_ = 0;
};

/// The VXI-11 core port, asked of the port mapper on UDP port 111 as a Siglent scope does
/// before every link.
int corePort() {
    const int udp = socket(AF_INET, SOCK_DGRAM, 0);
    const timeval patience{5, 0};
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    const sockaddr_in mapper = loopback(vxi11::kPortMapperPort);
    vxi11::XdrWriter wanted;
    for (const std::uint32_t word : {vxi11::kCoreProgram, 1U, vxi11::kProtocolTcp, 0U}) {
        wanted.uint32(word);
    }
    const std::string request = Client::callRecord(1, vxi11::kPortMapperProgram,
                                                   vxi11::kPortMapperVersion, 3, wanted.take());
    char reply[400];
    if (sendto(udp, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&mapper),
               sizeof mapper) != static_cast<ssize_t>(request.size())) {
        fail("cannot send GETPORT");
    }
    const ssize_t got = recv(udp, reply, sizeof reply, 0);
    close(udp);
    if (got <= 0) {
        fail("no answer to GETPORT");
    }
    vxi11::XdrReader port(Client::resultsOf(std::string(reply, static_cast<std::size_t>(got)), 1));
    return static_cast<int>(port.uint32());
}

/// A VXI-11 link on its own connection.
class Vxi11Link {
public:
    explicit Vxi11Link(int port) : client_(port) {
        vxi11::XdrWriter arguments;
        arguments.uint32(0);
        arguments.uint32(0);
        arguments.uint32(0);
        arguments.opaque("inst0");
        const std::string results = client_.call(kCreateLink, arguments.take());
        vxi11::XdrReader created(results);
        if (created.uint32() != 0) {
            fail("create_link failed");
        }
        id_ = created.uint32();
    }
    ~Vxi11Link() {
        vxi11::XdrWriter arguments;
        arguments.uint32(id_);
        if (vxi11::XdrReader(client_.call(kDestroyLink, arguments.take())).uint32() != 0) {
            fail("destroy_link failed");
        }
    }
    Vxi11Link(const Vxi11Link&) = delete;
    Vxi11Link& operator=(const Vxi11Link&) = delete;

    void write(std::string_view message) {
        vxi11::XdrWriter arguments;
        for (const std::uint32_t word : {id_, 1000U, 0U, kEnd}) {
            arguments.uint32(word);
        }
        arguments.opaque(message);
        if (vxi11::XdrReader(client_.call(kDeviceWrite, arguments.take())).uint32() != 0) {
            fail("device_write failed");
        }
    }

    std::string read() {
        vxi11::XdrWriter arguments;
        for (const std::uint32_t word : {id_, 4096U, 1000U, 0U, 0U, 0U}) {
            arguments.uint32(word);
        }
        const std::string results = client_.call(kDeviceRead, arguments.take());
        vxi11::XdrReader in(results);
        if (in.uint32() != 0) {
            fail("device_read failed");
        }
        in.uint32();
        return std::string(in.opaque(4096));
    }

private:
    static constexpr std::uint32_t kCreateLink = 10;
    static constexpr std::uint32_t kDeviceWrite = 11;
    static constexpr std::uint32_t kDeviceRead = 12;
    static constexpr std::uint32_t kDestroyLink = 23;
    static constexpr std::uint32_t kEnd = 8;

    Client client_;
    std::uint32_t id_ = 0;
};

/// Whether main() made the network namespace in which the server may answer port 111.
bool ownNetwork = false;

class FailOnMessage final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view) override {
        fail("exchange failed: " + std::string(text));
    }
};

/// The f exchange as tavero-ctl set sends it: the link stack on a paced simulator.
struct DirectLink {
    DirectLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          bridge(QString::fromStdString(simulator.readLine().value_or(""))),
          port(bridge),
          traceFile(trace),
          packetLink(traceFile, diagnostics),
          commands(port, packetLink, sink) {
        if (link::connectGenerator(port, packetLink, commands) != link::ConnectResult::kConnected) {
            fail("cannot open the simulator's terminal");
        }
    }
    ~DirectLink() {
        link::disconnectGenerator(port, commands);
        simulator.stop(SIGTERM);
        std::filesystem::remove(trace);
    }

    testing::ChildProcess simulator;
    qt::SerialPortBridge bridge;
    link::ComCP2102 port;
    std::ostringstream diagnostics;
    std::filesystem::path trace = std::filesystem::temp_directory_path() / "tavero-bench-out.txt";
    link::TraceFile traceFile;
    link::PacketLink packetLink;
    FailOnMessage sink;
    link::DeviceCommands commands;
};

/// tavero-ctl serve on its own paced simulator, and a client of it.
struct ServedLink {
    ServedLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          server({TAVERO_CTL_PATH, "--port", simulator.readLine().value_or(""), "serve", "--listen",
                  "127.0.0.1:0"},
                 std::filesystem::temp_directory_path()),
          port(portOf(server.readLine().value_or(""))),
          client(port),
          // The simulator logs every frame; unread, its pipe would fill and stall the link.
          simulatorLog([this] {
              while (simulator.readLine()) {
              }
          }) {}
    ~ServedLink() {
        server.stop(SIGTERM);
        simulator.stop(SIGTERM);
        simulatorLog.join();
    }

    static int portOf(const std::string& listening) {
        return std::atoi(listening.substr(listening.rfind(':') + 1).c_str());
    }

    testing::ChildProcess simulator;
    testing::ChildProcess server;
    int port;
    Client client;
    std::thread simulatorLog;
};

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(),
                     values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The two alternate within each iteration, so that a busy machine slows both alike.
void FrequencyRoundTrip(benchmark::State& state) {
    DirectLink direct;
    ServedLink served;
    const GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::chrono::duration<double> directTotal{0};
    std::chrono::duration<double> servedTotal{0};
    for (auto _ : state) {
        direct.diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        direct.commands.SendFrequency(settings);
        const auto between = std::chrono::steady_clock::now();
        if (served.client.query("FREQ 1000;*OPC?\n") != "1") {
            fail("FREQ 1000;*OPC? was not answered with 1");
        }
        directTotal += between - start;
        servedTotal += std::chrono::steady_clock::now() - between;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double directMs = directTotal.count() / iterations * 1e3;
    const double servedMs = servedTotal.count() / iterations * 1e3;
    state.counters["f_exchange_ms"] = directMs;
    state.counters["scpi_round_trip_ms"] = servedMs;
    state.counters["network_adds_ms"] = servedMs - directMs;
    state.counters["ratio"] = servedMs / directMs;
}

BENCHMARK(FrequencyRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(500);

// Each iteration: one exchange on the idle server, then 20 *IDN? queries while the other client's
// 1000 lines are carried out, then the stream's end awaited.
void IdentityWhileAnotherStreams(benchmark::State& state) {
    ServedLink served;
    Client streaming(served.port);
    std::string stream;
    for (int line = 1; line <= 1000; ++line) {
        stream += "FREQ " + std::to_string(1000 + line) + '\n';
    }
    std::vector<double> exchangeMs;
    std::vector<double> waitMs;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (served.client.query("FREQ 1000;*OPC?\n") != "1") {
            fail("FREQ 1000;*OPC? was not answered with 1");
        }
        exchangeMs.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        streaming.send(stream);
        for (int query = 0; query < 20; ++query) {
            start = std::chrono::steady_clock::now();
            if (!served.client.query("*IDN?\n").starts_with("Tavero,")) {
                fail("*IDN? was not answered");
            }
            waitMs.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        }
        if (streaming.query("*OPC?\n") != "1") {
            fail("the stream's *OPC? was not answered with 1");
        }
    }
    const double exchange = median(exchangeMs);
    const double longest = *std::max_element(waitMs.begin(), waitMs.end());
    state.counters["exchange_ms"] = exchange;
    state.counters["idn_wait_median_ms"] = median(waitMs);
    state.counters["idn_wait_max_ms"] = longest;
    state.counters["allowed_ms"] = 50.0 + exchange;
    state.counters["max_over_allowed"] = longest / (50.0 + exchange);
}

BENCHMARK(IdentityWhileAnotherStreams)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same queries alternate on one raw connection and one VXI-11 link, which stays open as
// lxi benchmark keeps it.
void IdentityRateOverVxi11(benchmark::State& state) {
    if (!ownNetwork) {
        state.SkipWithError("no network namespace of its own: port 111 is not the server's");
        return;
    }
    ServedLink served;
    Vxi11Link link(corePort());
    std::chrono::duration<double> rawTotal{0};
    std::chrono::duration<double> vxi11Total{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!served.client.query("*IDN?\n").starts_with("Tavero,")) {
            fail("*IDN? was not answered on the raw socket");
        }
        const auto between = std::chrono::steady_clock::now();
        link.write("*IDN?\n");
        if (!link.read().starts_with("Tavero,")) {
            fail("*IDN? was not answered over VXI-11");
        }
        rawTotal += between - start;
        vxi11Total += std::chrono::steady_clock::now() - between;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double rawRate = iterations / rawTotal.count();
    const double vxi11Rate = iterations / vxi11Total.count();
    state.counters["raw_idn_per_s"] = rawRate;
    state.counters["vxi11_idn_per_s"] = vxi11Rate;
    state.counters["ratio"] = vxi11Rate / rawRate;
}

BENCHMARK(IdentityRateOverVxi11)->Unit(benchmark::kMillisecond)->Iterations(5000);

// A point as the scope sends it, against the f exchange it becomes, on the same paced link.
void BodePointOverVxi11(benchmark::State& state) {
    if (!ownNetwork) {
        state.SkipWithError("no network namespace of its own: port 111 is not the server's");
        return;
    }
    DirectLink direct;
    ServedLink served;
    const GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::chrono::duration<double> directTotal{0};
    std::chrono::duration<double> pointTotal{0};
    int hertz = 1000;
    for (auto _ : state) {
        direct.diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        direct.commands.SendFrequency(settings);
        const auto between = std::chrono::steady_clock::now();
        {
            Vxi11Link link(corePort());
            link.write("C1:BSWV FRQ," + std::to_string(++hertz));
        }
        directTotal += between - start;
        pointTotal += std::chrono::steady_clock::now() - between;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double directMs = directTotal.count() / iterations * 1e3;
    const double pointMs = pointTotal.count() / iterations * 1e3;
    state.counters["f_exchange_ms"] = directMs;
    state.counters["bode_point_ms"] = pointMs;
    state.counters["ratio"] = pointMs / directMs;
}

BENCHMARK(BodePointOverVxi11)->Unit(benchmark::kMillisecond)->Iterations(500);

/// Moves the process into a network namespace of its own with loopback up, where the server
/// answers port 111 and nothing else on the machine is disturbed; false where none can be made.
bool enterOwnNetwork() {
    if (unshare(CLONE_NEWNET) != 0) {
        return false;
    }
    const int any = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::snprintf(request.ifr_name, sizeof request.ifr_name, "lo");
    const bool up = ioctl(any, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP),
                     ioctl(any, SIOCSIFFLAGS, &request) == 0);
    close(any);
    return up;
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread: a namespace is entered by the calling thread only.
    ownNetwork = enterOwnNetwork();
    if (!ownNetwork) {
        std::cerr << "no network namespace can be made (unshare needs root or user namespaces): "
                     "the VXI-11 benchmarks are skipped\n";
    }
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
