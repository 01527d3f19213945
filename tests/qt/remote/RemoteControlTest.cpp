// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "DirectFileWriter.h"
#include "link/MessageSink.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "qt/QtHost.h"
#include "qt/remote/QtRemoteControlWindow.h"
#include "qt/remote/RemoteControlDialog.h"
#include "qt/remote/RemoteControlSettings.h"
#include "qt/remote/WindowRemoteServices.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::qt {

// Found by gtest in the namespace of the settings.
void PrintTo(const RemoteControlSettings& s, std::ostream* out) {
    *out << s.scpiSocket << s.vxi11 << s.frontPanel << ' ' << s.host.toStdString() << ' '
         << s.scpiPort << ' ' << s.httpPort;
}

namespace {

/// Sets the dialog's fields as a user would.
void fillIn(RemoteControlDialog& dialog, const RemoteControlSettings& settings) {
    dialog.findChild<QCheckBox*>("scpiSocket")->setChecked(settings.scpiSocket);
    dialog.findChild<QCheckBox*>("vxi11")->setChecked(settings.vxi11);
    dialog.findChild<QCheckBox*>("frontPanel")->setChecked(settings.frontPanel);
    dialog.findChild<QLineEdit*>("host")->setText(settings.host);
    dialog.findChild<QSpinBox*>("scpiPort")->setValue(settings.scpiPort);
    dialog.findChild<QSpinBox*>("httpPort")->setValue(settings.httpPort);
}

TEST(RemoteControlDialogTest, WhatTheUserSetsIsRememberedAndSaysWhoReachesIt) {
    constexpr char kLoopback[] = "Nur Programme auf diesem Rechner erreichen die Dienste.";
    struct Case {
        const char* name;
        std::optional<RemoteControlSettings> set;  ///< nothing: the user never opened it
        RemoteControlSettings remembered;
        std::string reach;
    };
    const RemoteControlSettings off;
    const Case cases[] = {
        {"never set: everything off", std::nullopt, off, ""},
        {"off beyond loopback opens nothing",
         RemoteControlSettings{.host = "0.0.0.0"},
         {.host = "0.0.0.0"},
         ""},
        {"loopback",
         RemoteControlSettings{.scpiSocket = true, .vxi11 = true},
         {.scpiSocket = true, .vxi11 = true},
         kLoopback},
        {"IPv6 loopback, the page alone",
         RemoteControlSettings{.frontPanel = true, .host = "::1", .httpPort = 8081},
         {.frontPanel = true, .host = "::1", .httpPort = 8081},
         kLoopback},
        {"every network, every service",
         RemoteControlSettings{.scpiSocket = true,
                               .vxi11 = true,
                               .frontPanel = true,
                               .host = "0.0.0.0",
                               .scpiPort = 5026,
                               .httpPort = 80},
         {.scpiSocket = true,
          .vxi11 = true,
          .frontPanel = true,
          .host = "0.0.0.0",
          .scpiPort = 5026,
          .httpPort = 80},
         "Warnung: 0.0.0.0 öffnet den Generator ohne Passwort für das Netz: SCPI auf Port 5026, "
         "VXI-11 mit dem Portmapper auf Port 111, die Frontplatte auf Port 80. Wer sie "
         "erreicht, kann ihn steuern."},
        {"IPv6 any-address, VXI-11 alone",
         RemoteControlSettings{.vxi11 = true, .host = "::"},
         {.vxi11 = true, .host = "::"},
         "Warnung: [::] öffnet den Generator ohne Passwort für das Netz: VXI-11 mit dem "
         "Portmapper auf Port 111. Wer sie erreicht, kann ihn steuern."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir folder;
        const QString file = folder.filePath("Tavero.conf");
        {
            QSettings store(file, QSettings::IniFormat);
            ASSERT_EQ(loadRemoteControl(store), off);
            if (c.set) {
                RemoteControlDialog dialog(off);
                fillIn(dialog, *c.set);
                EXPECT_EQ(dialog.findChild<QLabel*>("reach")->text().toStdString(), c.reach);
                ASSERT_TRUE(storeRemoteControl(dialog.settings(), store));
            }
        }
        QSettings store(file, QSettings::IniFormat);
        const RemoteControlSettings remembered = loadRemoteControl(store);
        EXPECT_EQ(remembered, c.remembered);
        const RemoteControlDialog reopened(remembered);
        EXPECT_EQ(reopened.settings(), c.remembered);
        EXPECT_EQ(reopened.reachText().toStdString(), c.reach);
    }
}

/// Says nothing: the window's requests only connect here.
class Quiet final : public link::MessageSink {
public:
    void showError(std::string_view /*text*/, std::string_view /*caption*/) override {}
};

/// A client of the raw socket.
class Client {
public:
    Client(const char* host, quint16 port) {
        socket_.connectToHost(QHostAddress(host), port);
        while (socket_.state() != QAbstractSocket::ConnectedState &&
               socket_.state() != QAbstractSocket::UnconnectedState) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    /// Sends a line and returns the line answered.
    std::string query(const char* line) {
        socket_.write(QByteArray(line) + '\n');
        while (!socket_.canReadLine()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return socket_.readLine().chopped(1).toStdString();
    }

private:
    QTcpSocket socket_;
};

/// The port of the "Listening on 127.0.0.1:PORT" line last written on `out`.
quint16 listeningPort(const std::ostringstream& out) {
    const std::string text = out.str();
    const std::size_t colon = text.rfind(':');
    return colon == std::string::npos ? 0 : static_cast<quint16>(std::stoi(text.substr(colon + 1)));
}

/// The window's services on a model of the simulated generator, connected as the window
/// connects it.
class WindowServicesTest : public ::testing::Test {
protected:
    WindowServicesTest() {
        const model::Requester window{{model::FrontEnd::kWindow, {}}, quiet};
        EXPECT_EQ(model.connect(window), link::ConnectResult::kConnected);
        EXPECT_TRUE(model.readParameters(window));
    }

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    link::TraceFile trace{{}};
    std::ostringstream diagnostics;
    model::GeneratorModel model{bridge, trace, diagnostics};
    Quiet quiet;
    store::DirectFileWriter fileWriter;
    std::ostringstream out;
    std::ostringstream errors;
    WindowRemoteServices services{{.generator = model,
                                   .profileFile = {},
                                   .fileWriter = fileWriter,
                                   .out = out,
                                   .errors = errors}};
};

TEST_F(WindowServicesTest, ServeTheWindowsModelWhereTheLastStartSaid) {
    ASSERT_TRUE(services.start({.listen = "127.0.0.1:0", .vxi11 = false}))
        << services.startReport();
    const quint16 first = listeningPort(out);
    {
        Client client("127.0.0.1", first);
        EXPECT_EQ(client.query("*IDN?").rfind("Tavero,Tavero,0,", 0), 0U);
        EXPECT_EQ(client.query("FREQ 1234.5;FREQ?"), "1234.50");
        EXPECT_EQ(model.settings().frequenz, 123450U);
    }

    // Started again, on another loopback address: the first one is closed.
    ASSERT_TRUE(services.start({.listen = "127.0.0.2:0", .vxi11 = false}))
        << services.startReport();
    EXPECT_EQ(Client("127.0.0.2", listeningPort(out)).query("FREQ?"), "1234.50");
    EXPECT_FALSE(Client("127.0.0.1", first).connected());

    // A port another program holds: nothing serves, and the report says why.
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress(QHostAddress::LocalHost)));
    const std::string taken = "127.0.0.1:" + std::to_string(other.serverPort());
    EXPECT_FALSE(services.start({.listen = taken, .vxi11 = false}));
    EXPECT_FALSE(services.serving());
    EXPECT_EQ(services.startStatus(), 1);
    EXPECT_EQ(services.startReport().rfind("tavero: cannot listen on " + taken + ": ", 0), 0U)
        << services.startReport();
    EXPECT_NE(errors.str().find(services.startReport()), std::string::npos);
}

TEST_F(WindowServicesTest, AtLaunchStartWhatTheCommandLineOrElseTheDialogAsks) {
    struct Case {
        const char* name;
        std::optional<RemoteOptions> serve;
        RemoteControlSettings remembered;
        int status;
        bool serving;
    };
    const Case cases[] = {
        {"--serve", RemoteOptions{.listen = "127.0.0.1:0", .vxi11 = false}, {}, 0, true},
        {"--serve before what is remembered",
         RemoteOptions{.listen = "localhost:5025"},
         {.scpiSocket = true, .scpiPort = 0},
         2,
         false},
        {"remembered", std::nullopt, {.scpiSocket = true, .scpiPort = 0}, 0, true},
        {"nothing remembered", std::nullopt, {}, 0, false},
    };
    QtHost host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir folder;
        QSettings store(folder.filePath("Tavero.conf"), QSettings::IniFormat);
        ASSERT_TRUE(storeRemoteControl(c.remembered, store));
        QtRemoteControlWindow launch(host, services, store);
        EXPECT_EQ(launch.startAtLaunch(c.serve), c.status) << services.startReport();
        EXPECT_EQ(services.serving(), c.serving);
        services.stop();
    }
}

}  // namespace
}  // namespace tavero::qt
