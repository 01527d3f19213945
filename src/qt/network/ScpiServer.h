// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "ctl/RunClock.h"
#include "qt/network/LineLimiter.h"
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
    /// The most clients served at once, over all sockets: far below the usual limit of 1024
    /// open files, whose exhaustion would stop a listener for good. When they are all connected,
    /// a client from an address below its share (addressShare()) takes the place of another.
    static constexpr std::size_t kMaxClients = 256;

    /// `log` gets one line for each client closed for sending HTTP.
    ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, std::ostream& log,
               QObject* parent = nullptr);

    /// False when the address cannot be listened on; errorText() says why.
    bool listen(const ListenAddress& address);
    QString errorText() const { return listener_.errorString(); }
    /// The address and port listened on, e.g. "127.0.0.1:5025" or "[::1]:5025"; for an
    /// any-address those of this computer, e.g. "192.168.1.20:5025 and 127.0.0.1:5025".
    QString listeningOn() const;
    quint16 port() const { return listener_.serverPort(); }

    /// Serves the VXI-11 core and abort channels on ports of the system's choosing on `host`,
    /// the core channel on a second port as well when `alternateCorePorts`; false when it
    /// cannot, vxi11ErrorText() says why.
    bool listenVxi11(const QHostAddress& host, bool alternateCorePorts = false);
    QString vxi11ErrorText() const { return vxi11ErrorText_; }
    quint16 corePort() const { return coreListener_.serverPort(); }
    quint16 abortPort() const { return abortListener_.serverPort(); }
    /// The core channel's second port, 0 when it has none.
    quint16 alternateCorePort() const { return alternateCoreListener_.serverPort(); }
    /// Answers the port mapper on UDP and TCP port 111 of `host`, naming the core channel, or
    /// its two ports in turn; false when it may not bind them, mapperErrorText() says why.
    bool servePortMapper(const QHostAddress& host);
    QString mapperErrorText() const { return mapperErrorText_; }
    bool servesPortMapper() const { return mapperListener_.isListening(); }

private:
    /// Serves each connection accepted by `listener` as the client `makeClient` makes of its
    /// socket, while fewer than kMaxClients are connected or another client gives way to it.
    void serveOn(TcpListener& listener, std::function<ServerClient*(int descriptor)> makeClient);
    /// Whether the server makes room for a client from `peer`, closing another one if it must.
    bool makeRoomFor(const QHostAddress& peer);
    /// A client of the core channel, with a link of its own.
    ServerClient* makeCoreClient(int descriptor);
    void adopt(ServerClient* client);
    void remove(ServerClient* client);
    /// Answers what waits on `socket` from mapperDatagrams_, the socket of the listen address.
    void answerMapperDatagrams(QUdpSocket& socket);
    /// Where the listen address is one of an interface, also takes the discovery that asks
    /// every host of the interface's network at once: false when its broadcast address cannot
    /// be bound.
    bool takeSubnetBroadcasts(const QHostAddress& host);
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
    QUdpSocket mapperBroadcasts_;
    QString mapperErrorText_;
    std::vector<ServerClient*> clients_;
    /// A refusal was logged since the clients were last at most half of kMaxClients.
    bool refusalReported_ = false;
    /// Lines on clients closed to make room, one a minute per address that lost them.
    LineLimiter closedLines_;
    std::size_t nextTurn_ = 0;
    QTimer turnTimer_;
    QTimer taskListTimer_;
};

}  // namespace tavero::qt
