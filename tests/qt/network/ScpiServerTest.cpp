// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "DirectFileWriter.h"
#include "FakeRunClock.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/ScpiServer.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/ProfileFile.h"
#include "vxi11/CoreService.h"
#include "vxi11/RecordReader.h"
#include "vxi11/Xdr.h"

namespace tavero::qt {
namespace {

/// The server on loopback with a port of the system's choosing, on the in-process simulated
/// generator.
class ScpiServerTest : public ::testing::Test {
protected:
    ScpiServerTest() {
        EXPECT_TRUE(server_.listen({QHostAddress(QHostAddress::LocalHost), 0}));
        EXPECT_TRUE(server_.listenVxi11(QHostAddress(QHostAddress::LocalHost)));
    }
    ~ScpiServerTest() override {
        std::error_code ignored;
        std::filesystem::remove(folder_ / "tavero-scpi-server-trace.txt", ignored);
        std::filesystem::remove_all(profileFile_.parent_path().parent_path(), ignored);
    }

    /// A client connected to the server, from `from`.
    std::unique_ptr<QTcpSocket> connectClient(quint16 port = 0,
                                              const QHostAddress& from = QHostAddress()) {
        auto socket = std::make_unique<QTcpSocket>();
        if (!from.isNull()) {
            EXPECT_TRUE(socket->bind(from));
        }
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost),
                              port != 0 ? port : server_.port());
        while (socket->state() != QAbstractSocket::ConnectedState) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return socket;
    }

    /// Sends bytes and returns the next line answered, without its LF.
    static QByteArray answer(QTcpSocket& socket, const QByteArray& bytes) {
        socket.write(bytes);
        while (!socket.canReadLine()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return socket.readLine().chopped(1);
    }

    /// Sends bytes, ends the client's direction and returns what arrives until the server
    /// closes.
    static QByteArray answersUntilClosed(QTcpSocket& socket, const QByteArray& bytes) {
        QByteArray received;
        QObject::connect(&socket, &QTcpSocket::readyRead,
                         [&received, &socket] { received += socket.readAll(); });
        socket.write(bytes);
        socket.flush();
        EXPECT_EQ(::shutdown(static_cast<int>(socket.socketDescriptor()), SHUT_WR), 0);
        while (socket.state() != QAbstractSocket::UnconnectedState) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return received + socket.readAll();
    }

    /// Sends a core channel call and returns its reply's accept status and results, or
    /// "closed" when the server closes instead.
    static QByteArray call(QTcpSocket& socket, std::uint32_t procedure,
                           std::initializer_list<std::uint32_t> arguments,
                           const QByteArray& opaque = {}) {
        sendCall(socket, procedure, arguments, opaque);
        return rpcReply(socket);
    }
    static void sendCall(QTcpSocket& socket, std::uint32_t procedure,
                         std::initializer_list<std::uint32_t> arguments,
                         const QByteArray& opaque = {}) {
        vxi11::XdrWriter out;
        for (const std::uint32_t word :
             {9U, 0U, 2U, vxi11::kCoreProgram, 1U, procedure, 0U, 0U, 0U, 0U}) {
            out.uint32(word);
        }
        for (const std::uint32_t word : arguments) {
            out.uint32(word);
        }
        if (procedure == 10 || procedure == 11) {
            out.opaque(opaque.toStdString());
        }
        socket.write(QByteArray::fromStdString(vxi11::markRecord(out.bytes())));
    }
    static QByteArray rpcReply(QTcpSocket& socket) {
        vxi11::RecordReader reader(4096);
        while (!reader.complete()) {
            if (socket.bytesAvailable() == 0) {
                if (socket.state() == QAbstractSocket::UnconnectedState) {
                    return "closed";
                }
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                continue;
            }
            const QByteArray bytes =
                socket.read(static_cast<qint64>(std::min<std::size_t>(reader.wanted(), 4096)));
            reader.feed(bytes.toStdString());
        }
        return QByteArray::fromStdString(reader.take()).mid(20);
    }
    static QByteArray words(std::initializer_list<std::uint32_t> values) {
        vxi11::XdrWriter out;
        for (const std::uint32_t value : values) {
            out.uint32(value);
        }
        return QByteArray::fromStdString(out.take());
    }

    int argc_ = 1;
    char name_[18] = "qt_network_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication application_{argc_, argv_};
    std::filesystem::path folder_ = std::filesystem::temp_directory_path();
    std::filesystem::path profileFile_ =
        folder_ / ("tavero-scpi-server-" + std::to_string(::getpid())) / "Profile" / "Profile.pro";
    ctl::FakeRunClock clock_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    store::DirectFileWriter writer_;
    std::ostringstream diagnostics_;
    std::ostringstream log_;
    link::TraceFile trace_{folder_ / "tavero-scpi-server-trace.txt"};
    model::GeneratorModel model_{bridge_, trace_, diagnostics_, model::ConnectPolicy::kOnDemand};
    scpi::Instrument instrument_{{.generator = model_,
                                  .profileFile = profileFile_,
                                  .fileWriter = writer_,
                                  .clock = clock_,
                                  .log = diagnostics_}};
    ScpiServer server_{instrument_, clock_, log_};
};

TEST_F(ScpiServerTest, HostileInputCostsOnlyItsOwnLine) {
    const std::unique_ptr<QTcpSocket> client = connectClient();
    struct Case {
        QByteArray sent;
        QByteArray answer;
    };
    const std::array<Case, 6> cases = {{
        {QByteArray(10000, 'A') + "\n*OPC?\n", "1"},
        {"SYST:ERR?\n", "-363,\"Input buffer overrun\""},
        {QByteArray("\x00\xff\x01\x02", 4) + "\nSYST:ERR?\r\n",
         "-102,\"Syntax error; header expected\""},
        {QByteArray(4096, ';') + "\n*OPC?\n", "1"},  // the longest line taken
        {"FREQ 2000;FREQ?\r\n", "2000.00"},
        {"SYST:ERR?\n", "0,\"No error\""},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(answer(*client, c.sent), c.answer) << c.sent.left(20).toStdString();
    }
}

TEST_F(ScpiServerTest, EachClientHasItsOwnAnswersAndErrors) {
    const std::unique_ptr<QTcpSocket> first = connectClient();
    const std::unique_ptr<QTcpSocket> second = connectClient();
    std::unique_ptr<QTcpSocket> leaving = connectClient();
    // A client that goes mid-line leaves nothing behind for the others.
    leaving->write("VOLT 0.3");
    leaving->disconnectFromHost();
    leaving.reset();
    first->write("VOLT 7\n");
    EXPECT_EQ(answer(*second, "FREQ 1000;*OPC?\n"), "1");
    EXPECT_EQ(answer(*second, "SYST:ERR?\n"), "0,\"No error\"");
    EXPECT_EQ(answer(*first, "SYST:ERR?\n").left(4), "-222");
    EXPECT_EQ(generator_.settings().amplitude, 500U);
}

TEST_F(ScpiServerTest, ClientsTakeTurnsOfOneLine) {
    const std::unique_ptr<QTcpSocket> streaming = connectClient();
    const std::unique_ptr<QTcpSocket> other = connectClient();
    QByteArray stream;
    for (int line = 1; line <= 1000; ++line) {
        stream += "FREQ " + QByteArray::number(1000 + line) + '\n';
    }
    streaming->write(stream);
    streaming->flush();
    // Which of the stream's lines was carried out last when the other client had its turn.
    const QByteArray during = answer(*other, "FREQ?\n");
    EXPECT_LE(during.toDouble(), 1010.0) << during.toStdString();
    EXPECT_EQ(answer(*streaming, "FREQ?\n"), "2000.00");
}

TEST_F(ScpiServerTest, ALineOrWriteWaitingForTheProfileFileHoldsUpNoOtherClient) {
    const std::unique_ptr<QTcpSocket> saving = connectClient();
    const std::unique_ptr<QTcpSocket> core = connectClient(server_.corePort());
    const std::unique_ptr<QTcpSocket> other = connectClient();
    ASSERT_EQ(answer(*saving, "*SAV 1;*OPC?\n"), "1");  // makes the folder and the file
    const std::uint32_t link = static_cast<std::uint8_t>(call(*core, 10, {1, 0, 0}, "inst0")[11]);
    const auto holdFolder = [this] {
        const int fd = ::open(profileFile_.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        EXPECT_EQ(::flock(fd, LOCK_EX), 0);
        return fd;
    };

    int otherProgram = holdFolder();
    saving->write("FREQ 2000;*SAV 2;*OPC?\n");
    EXPECT_EQ(answer(*other, "FREQ?\n"), "1000.00") << "the waiting line was not carried out";
    ::close(otherProgram);
    EXPECT_EQ(answer(*saving, ""), "1");
    EXPECT_EQ(answer(*saving, "SYST:ERR?\n"), "0,\"No error\"");

    otherProgram = holdFolder();
    sendCall(*core, 11, {link, 0, 0, 8}, "FREQ 3000;*SAV 3\n");
    EXPECT_EQ(answer(*other, "FREQ?\n"), "2000.00") << "the waiting write was not carried out";
    ::close(otherProgram);
    EXPECT_EQ(rpcReply(*core), words({0, 0, 17}));

    const std::vector<StoredProfile> profiles = store::readProfileFile(profileFile_).profiles;
    EXPECT_EQ(profiles.at(1).settings.frequenz, 200000U);
    EXPECT_EQ(profiles.at(2).settings.frequenz, 300000U);
}

TEST_F(ScpiServerTest, AClientThatResetsIsDroppedWithAllItSent) {
    std::unique_ptr<QTcpSocket> gone = connectClient();
    const std::unique_ptr<QTcpSocket> other = connectClient();
    QByteArray stream;
    for (int line = 0; line < 300; ++line) {
        stream += "FREQ 2000\n";
    }
    gone->write(stream);
    gone->flush();
    const ::linger resetOnClose{1, 0};
    ASSERT_EQ(::setsockopt(static_cast<int>(gone->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                           &resetOnClose, sizeof resetOnClose),
              0);
    gone->abort();
    gone.reset();
    EXPECT_EQ(answer(*other, "FREQ?\n"), "1000.00");
    EXPECT_EQ(generator_.settings().frequenz, 100000U);
}

TEST_F(ScpiServerTest, AClientThatEndsItsInputIsAnsweredThenClosed) {
    const std::unique_ptr<QTcpSocket> client = connectClient();
    // A line the end of input cut short is not carried out.
    EXPECT_EQ(answersUntilClosed(*client, "*OPC?\nFREQ 2000;FREQ?\nSYST:ERR?\nVOLT 0.3"),
              "1\n2000.00\n0,\"No error\"\n");
    EXPECT_EQ(generator_.settings().amplitude, 500U);
}

TEST_F(ScpiServerTest, HttpRequestsAreClosedUnserved) {
    const std::array<QByteArray, 3> requests = {
        "POST /x HTTP/1.1\r\nHost: 127.0.0.1:5025\r\nContent-Length: 19\r\n\r\nFREQ 1234\n*SAV 7\n",
        "PUT / HTTP/1.1\r\nContent-Type: text/plain\r\n\r\nFREQ 1234\n",
        "FREQ?\nOrigin: http://example.org\nFREQ 1234\n",
    };
    for (const QByteArray& request : requests) {
        const std::unique_ptr<QTcpSocket> browser = connectClient();
        const QByteArray answered = answersUntilClosed(*browser, request);
        EXPECT_EQ(answered, request.startsWith("FREQ?") ? "1000.00\n" : "")
            << request.toStdString();
        EXPECT_EQ(generator_.settings().frequenz, 100000U) << request.toStdString();
    }
    const std::string log = log_.str();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_NE(log.find("HTTP"), std::string::npos) << log;
    const std::unique_ptr<QTcpSocket> next = connectClient();
    EXPECT_EQ(answer(*next, "FREQ 1500;FREQ?\n"), "1500.00");
}

TEST_F(ScpiServerTest, ClientsBeyondTheBoundAreRefusedAndTheServerServesOn) {
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (std::size_t i = 0; i < ScpiServer::kMaxClients; ++i) {
        clients.push_back(connectClient(i % 2 == 0 ? server_.port() : server_.corePort()));
    }
    EXPECT_EQ(answer(*clients.front(), "FREQ 1500;FREQ?\n"), "1500.00");
    for (const quint16 port : {server_.port(), server_.corePort(), server_.port()}) {
        const std::unique_ptr<QTcpSocket> refused = connectClient(port);
        refused->write("FREQ 2000\n");
        while (refused->state() != QAbstractSocket::UnconnectedState) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        EXPECT_EQ(refused->readAll(), "");
    }
    EXPECT_EQ(generator_.settings().frequenz, 150000U);
    const std::string log = log_.str();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find("256 clients are connected"), std::string::npos) << log;

    // Once the server has closed one client, the next is served.
    EXPECT_EQ(answersUntilClosed(*clients.front(), ""), "");
    const std::unique_ptr<QTcpSocket> next = connectClient();
    EXPECT_EQ(answersUntilClosed(*next, "FREQ?\n"), "1500.00\n");
}

TEST_F(ScpiServerTest, AFullServerClosesAnotherAddressesClientForANewOne) {
    // One address holds every connection, one of them with half a line.
    std::vector<std::unique_ptr<QTcpSocket>> crowd;
    for (std::size_t i = 0; i < ScpiServer::kMaxClients; ++i) {
        crowd.push_back(connectClient(i % 2 == 0 ? server_.port() : server_.corePort()));
    }
    EXPECT_EQ(answer(*crowd[2], "FREQ 1500;*OPC?\n"), "1");
    crowd[4]->write("FREQ 2");
    crowd[4]->flush();
    EXPECT_EQ(answer(*crowd[2], "*OPC?\n"), "1");  // the half line has arrived
    const QHostAddress other("127.0.0.2");
    struct Case {
        std::size_t closed;  ///< which of the crowd gives way
    };
    // The half line first, then the longest idle of the crowd; the busy one stays.
    const std::array<Case, 2> cases = {{{4}, {0}}};
    std::vector<std::unique_ptr<QTcpSocket>> served;
    for (const Case& c : cases) {
        served.push_back(connectClient(server_.port(), other));
        EXPECT_EQ(answer(*served.back(), "FREQ?\n"), "1500.00");
        while (crowd[c.closed]->state() != QAbstractSocket::UnconnectedState) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    EXPECT_EQ(answer(*crowd[2], "FREQ?\n"), "1500.00");
    EXPECT_EQ(generator_.settings().frequenz, 150000U);
    const std::string log = log_.str();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;  // one a minute per address
    EXPECT_NE(log.find("unfinished request of 127.0.0.1 to serve 127.0.0.2"), std::string::npos)
        << log;
}

TEST_F(ScpiServerTest, Vxi11LinksAreClientsBesideTheRawSocket) {
    const std::unique_ptr<QTcpSocket> first = connectClient(server_.corePort());
    const std::unique_ptr<QTcpSocket> second = connectClient(server_.corePort());
    const std::unique_ptr<QTcpSocket> raw = connectClient();
    const QByteArray created = call(*first, 10, {1, 0, 0}, "inst0");
    ASSERT_EQ(created.left(8), words({0, 0}));
    const std::uint32_t link = static_cast<std::uint8_t>(created[11]);
    const std::uint32_t other = static_cast<std::uint8_t>(call(*second, 10, {1, 0, 0}, "inst")[11]);
    EXPECT_EQ(call(*first, 11, {link, 0, 0, 8}, "VOLT 7"), words({0, 0, 6}));
    EXPECT_EQ(call(*second, 11, {other, 0, 0, 8}, "FREQ 2000;*OPC?\n"), words({0, 0, 16}));
    EXPECT_EQ(answer(*raw, "FREQ?\n"), "2000.00");
    EXPECT_EQ(call(*second, 12, {other, 100, 0, 0, 0, 0}),
              words({0, 0, 4, 2}) + QByteArray("1\n\0\0", 4));
    EXPECT_EQ(call(*first, 11, {link, 0, 0, 8}, "SYST:ERR?"), words({0, 0, 9}));
    EXPECT_EQ(call(*first, 12, {link, 4, 0, 0, 0, 0}), words({0, 0, 1, 4}) + "-222");
    EXPECT_EQ(call(*first, 99, {}), words({3}));  // PROC_UNAVAIL
    // Hostile records close their own connection only.
    const std::array<QByteArray, 3> hostile = {
        words({0x7FFFFFFF}), QByteArray("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\nFREQ 1234\n"),
        words({0x80000008, 9, 1}),  // a reply where a call belongs
    };
    for (const QByteArray& bytes : hostile) {
        const std::unique_ptr<QTcpSocket> attacker = connectClient(server_.corePort());
        attacker->write(bytes);
        EXPECT_EQ(rpcReply(*attacker), "closed") << bytes.toHex().toStdString();
    }
    const std::string log = log_.str();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_EQ(call(*first, 23, {link}), words({0, 0}));
    EXPECT_EQ(generator_.settings().frequenz, 200000U);
}

TEST(ListenAddressTest, ReadsHostAndPort) {
    struct Case {
        const char* text;
        bool valid;
        const char* host;
        std::uint16_t port;
    };
    const std::array<Case, 8> cases = {{
        {"", true, "127.0.0.1", 5025},
        {"0.0.0.0:5025", true, "0.0.0.0", 5025},
        {"127.0.0.1:0", true, "127.0.0.1", 0},
        {"[::1]:6000", true, "::1", 6000},
        {"::1:6000", false, "", 0},
        {"localhost:5025", false, "", 0},
        {"127.0.0.1:65536", false, "", 0},
        {"127.0.0.1", false, "", 0},
    }};
    for (const Case& c : cases) {
        const std::optional<ListenAddress> address = parseListenAddress(c.text);
        ASSERT_EQ(address.has_value(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(address->host.toString().toStdString(), c.host) << c.text;
            EXPECT_EQ(address->port, c.port) << c.text;
        }
    }
}

}  // namespace
}  // namespace tavero::qt
