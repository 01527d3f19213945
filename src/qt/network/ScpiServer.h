// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <cstddef>
#include <optional>
#include <ostream>
#include <vector>

#include "ctl/RunClock.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/TcpListener.h"
#include "scpi/Instrument.h"
#include "vxi11/CoreService.h"
#include "vxi11/PortMapper.h"

namespace tavero::qt {

class ServerClient;

/// Serves the instrument on TCP, as raw SCPI and over VXI-11: one ServerClient per client, the
/// clients taking turns of one line or RPC call each, each carried out to its end before the
/// next, and the task list advanced between them.
class ScpiServer : public QObject {
    Q_OBJECT
public:
    /// `log` gets one line for each client closed for sending HTTP.
    ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, std::ostream& log,
               QObject* parent = nullptr);

    /// False when the address cannot be listened on; errorText() says why.
    bool listen(const ListenAddress& address);
    QString errorText() const { return listener_.errorString(); }
    /// The address and port listened on, e.g. "127.0.0.1:5025" or "[::1]:5025".
    QString listeningOn() const;
    quint16 port() const { return listener_.serverPort(); }

    /// Serves the VXI-11 core and abort channels on ports of the system's choosing on `host`,
    /// the core channel on a second port as well when `alternateCorePorts`; false when it
    /// cannot, vxi11ErrorText() says why.
    bool listenVxi11(const QHostAddress& host, bool alternateCorePorts = false);
    QString vxi11ErrorText() const { return vxi11ErrorText_; }
    quint16 corePort() const { return coreListener_.serverPort(); }
    /// Answers the port mapper on UDP and TCP port 111 of `host`, naming the core channel, or
    /// its two ports in turn; false when it may not bind them, mapperErrorText() says why.
    bool servePortMapper(const QHostAddress& host);
    QString mapperErrorText() const { return mapperErrorText_; }

private:
    void adoptCoreClient(int descriptor);
    void adopt(ServerClient* client);
    void remove(ServerClient* client);
    void answerMapperDatagrams();
    /// Gives the next client in the round that has a line waiting its turn, then returns to the
    /// event loop, so that a new line of any client is seen before the one after.
    void takeTurn();
    void scheduleTaskList();

    scpi::Instrument& instrument_;
    ctl::RunClock& clock_;
    std::ostream& log_;
    TcpListener listener_;
    vxi11::CoreService service_;
    TcpListener coreListener_;
    /// The core channel's second port, for scopes that need a new port for every link.
    TcpListener alternateCoreListener_;
    QString vxi11ErrorText_;
    TcpListener abortListener_;
    vxi11::ClientId nextRpcClient_ = 1;
    std::optional<vxi11::PortMapper> mapper_;
    TcpListener mapperListener_;
    QUdpSocket mapperDatagrams_;
    QString mapperErrorText_;
    std::vector<ServerClient*> clients_;
    std::size_t nextTurn_ = 0;
    QTimer turnTimer_;
    QTimer taskListTimer_;
};

}  // namespace tavero::qt
