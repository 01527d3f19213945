// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include "DirectFileWriter.h"
#include "FakeRunClock.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/ScpiServer.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::qt {
namespace {

/// The server on loopback with a port of the system's choosing, on the in-process simulated
/// generator.
class ScpiServerTest : public ::testing::Test {
protected:
    ScpiServerTest() { EXPECT_TRUE(server_.listen({QHostAddress(QHostAddress::LocalHost), 0})); }
    ~ScpiServerTest() override {
        std::error_code ignored;
        std::filesystem::remove(folder_ / "tavero-scpi-server-trace.txt", ignored);
    }

    /// A client connected to the server.
    std::unique_ptr<QTcpSocket> connectClient() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), server_.port());
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

    int argc_ = 1;
    char name_[18] = "qt_network_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication application_{argc_, argv_};
    std::filesystem::path folder_ = std::filesystem::temp_directory_path();
    ctl::FakeRunClock clock_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    store::DirectFileWriter writer_;
    std::ostringstream diagnostics_;
    link::TraceFile trace_{folder_ / "tavero-scpi-server-trace.txt"};
    scpi::Instrument instrument_{
        {.bridge = bridge_,
         .diagnostics = diagnostics_,
         .trace = trace_,
         .profileFile = {},  // no data folder: the profiles are not needed here
         .fileWriter = writer_,
         .clock = clock_}};
    ScpiServer server_{instrument_, clock_};
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
