// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiServer.h"

#include <unistd.h>

#include <QNetworkDatagram>
#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>

#include "qt/network/RpcConnection.h"
#include "qt/network/ScpiConnection.h"
#include "qt/network/SocketPeer.h"
#include "vxi11/RecordReader.h"

namespace tavero::qt {

ScpiServer::ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, std::ostream& log,
                       QObject* parent)
    : QObject(parent),
      instrument_(instrument),
      clock_(clock),
      log_(log),
      service_(instrument, instrument.generatorModel()) {
    turnTimer_.setSingleShot(true);
    turnTimer_.setInterval(0);
    taskListTimer_.setSingleShot(true);
    taskListTimer_.setTimerType(Qt::PreciseTimer);
    serveOn(listener_, [this](int descriptor) {
        return new ScpiConnection(descriptor, instrument_, log_, this);
    });
    serveOn(coreListener_, [this](int descriptor) { return makeCoreClient(descriptor); });
    serveOn(alternateCoreListener_, [this](int descriptor) { return makeCoreClient(descriptor); });
    serveOn(abortListener_, [this](int descriptor) {
        return new RpcConnection(
            descriptor,
            [this](std::string_view record, std::chrono::milliseconds) {
                return service_.callAbort(record);
            },
            vxi11::CoreService::kMaxRecordBytes, log_, this);
    });
    serveOn(mapperListener_, [this](int descriptor) {
        return new RpcConnection(
            descriptor,
            [this](std::string_view record, std::chrono::milliseconds) {
                const std::optional<std::string> reply = mapper_->answer(record);
                return reply ? vxi11::ServiceOutcome{vxi11::ServiceOutcome::Kind::kReply, *reply}
                             : vxi11::ServiceOutcome{vxi11::ServiceOutcome::Kind::kClose, {}};
            },
            vxi11::CoreService::kMaxRecordBytes, log_, this);
    });
    connect(&mapperDatagrams_, &QUdpSocket::readyRead, this,
            [this] { answerMapperDatagrams(mapperDatagrams_); });
    connect(&mapperBroadcasts_, &QUdpSocket::readyRead, this,
            [this] { answerMapperDatagrams(mapperBroadcasts_); });
    connect(&turnTimer_, &QTimer::timeout, this, &ScpiServer::takeTurn);
    connect(&taskListTimer_, &QTimer::timeout, this, [this] {
        instrument_.advanceTaskList();
        scheduleTaskList();
    });
}

bool ScpiServer::listen(const ListenAddress& address) {
    return listener_.listen(address.host, address.port);
}

QString ScpiServer::listeningOn() const {
    QStringList addresses;
    for (const QHostAddress& address : reachableAddresses(listener_.serverAddress())) {
        addresses.append(addressText(address, listener_.serverPort()));
    }
    return listText(addresses);
}

bool ScpiServer::listenVxi11(const QHostAddress& host, bool alternateCorePorts) {
    std::vector<TcpListener*> listeners = {&coreListener_, &abortListener_};
    if (alternateCorePorts) {
        listeners.push_back(&alternateCoreListener_);
    }
    for (TcpListener* listener : listeners) {
        if (!listener->listen(host, 0)) {
            vxi11ErrorText_ = listener->errorString();
            return false;
        }
    }
    service_.setAbortPort(abortListener_.serverPort());
    return true;
}

bool ScpiServer::servePortMapper(const QHostAddress& host) {
    std::vector<vxi11::PortMapping> mappings = {
        {vxi11::kCoreProgram, vxi11::kVxi11Version, vxi11::kProtocolTcp, corePort()},
        {vxi11::kPortMapperProgram, vxi11::kPortMapperVersion, vxi11::kProtocolTcp,
         vxi11::kPortMapperPort},
        {vxi11::kPortMapperProgram, vxi11::kPortMapperVersion, vxi11::kProtocolUdp,
         vxi11::kPortMapperPort}};
    if (alternateCoreListener_.isListening()) {
        mappings.push_back({vxi11::kCoreProgram, vxi11::kVxi11Version, vxi11::kProtocolTcp,
                            alternateCoreListener_.serverPort()});
    }
    mapper_.emplace(std::move(mappings));
    // The any-address takes broadcasts too; an interface's address needs a second socket.
    if (!mapperDatagrams_.bind(host, vxi11::kPortMapperPort)) {
        mapperErrorText_ = mapperDatagrams_.errorString();
        return false;
    }
    if (!takeSubnetBroadcasts(host)) {
        mapperErrorText_ = mapperBroadcasts_.errorString();
        mapperDatagrams_.close();
        return false;
    }
    if (!mapperListener_.listen(host, vxi11::kPortMapperPort)) {
        mapperErrorText_ = mapperListener_.errorString();
        mapperDatagrams_.close();
        mapperBroadcasts_.close();
        return false;
    }
    return true;
}

bool ScpiServer::takeSubnetBroadcasts(const QHostAddress& host) {
    const std::optional<InterfaceAddress> held = interfaceHolding(host);
    return !held || held->entry.broadcast().isNull() ||
           mapperBroadcasts_.bind(held->entry.broadcast(), vxi11::kPortMapperPort);
}

void ScpiServer::answerMapperDatagrams(QUdpSocket& socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram =
            socket.receiveDatagram(static_cast<qint64>(vxi11::CoreService::kMaxRecordBytes));
        const QByteArray& data = datagram.data();
        const std::optional<std::string> reply = mapper_->answer(
            std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        if (reply) {
            // From the listen address, never the broadcast one; a lost datagram is asked again
            // by the client, as RPC over UDP retries.
            mapperDatagrams_.writeDatagram(QByteArray::fromStdString(*reply),
                                           datagram.senderAddress(),
                                           static_cast<quint16>(datagram.senderPort()));
        }
    }
}

void ScpiServer::serveOn(TcpListener& listener,
                         std::function<ServerClient*(int descriptor)> makeClient) {
    connect(&listener, &TcpListener::accepted, this,
            [this, makeClient = std::move(makeClient)](int descriptor) {
                if (makeRoomFor(peerAddress(descriptor))) {
                    adopt(makeClient(descriptor));
                    return;
                }
                // Closed unread: a flood of connections costs a descriptor for an instant.
                ::close(descriptor);
                if (!std::exchange(refusalReported_, true)) {
                    log_ << "tavero-ctl: connections refused: " << kMaxClients
                         << " clients are connected, the most served at once\n";
                }
            });
}

bool ScpiServer::makeRoomFor(const QHostAddress& peer) {
    if (clients_.size() < kMaxClients) {
        return true;
    }
    std::vector<HeldConnection> held;
    held.reserve(clients_.size());
    for (const ServerClient* client : clients_) {
        held.push_back(client->held());
    }
    const std::optional<std::size_t> closed = connectionToClose(held, peer, kMaxClients);
    if (!closed) {
        return false;
    }
    reportClosedForNewcomer(log_, closedLines_,
                            std::to_string(kMaxClients) + " clients are connected", held[*closed],
                            peer);
    clients_[*closed]->finish();
    return true;
}

ServerClient* ScpiServer::makeCoreClient(int descriptor) {
    const vxi11::ClientId id = nextRpcClient_++;
    service_.nameClient(id, peerName(descriptor).toStdString());
    auto* client = new RpcConnection(
        descriptor,
        [this, id](std::string_view record, std::chrono::milliseconds waited) {
            return service_.callCore(id, record, waited);
        },
        vxi11::CoreService::kMaxRecordBytes, log_, this);
    connect(client, &ServerClient::finished, this, [this, id] { service_.dropClient(id); });
    return client;
}

void ScpiServer::adopt(ServerClient* client) {
    clients_.push_back(client);
    connect(client, &ServerClient::inputWaiting, this, [this] {
        if (!turnTimer_.isActive()) {
            turnTimer_.start();
        }
    });
    connect(client, &ServerClient::finished, this, [this, client] { remove(client); });
}

void ScpiServer::remove(ServerClient* client) {
    const auto found = std::find(clients_.begin(), clients_.end(), client);
    const auto index = static_cast<std::size_t>(found - clients_.begin());
    clients_.erase(found);
    // Reported again only after the crowd has thinned, so that a flood writes few lines.
    if (clients_.size() <= kMaxClients / 2) {
        refusalReported_ = false;
    }
    if (index < nextTurn_) {
        --nextTurn_;
    }
    client->deleteLater();
}

void ScpiServer::takeTurn() {
    for (std::size_t looked = 0; looked < clients_.size(); ++looked) {
        const std::size_t index = (nextTurn_ + looked) % clients_.size();
        ServerClient* client = clients_[index];
        if (client->ready()) {
            nextTurn_ = index + 1;
            client->takeTurn();
            scheduleTaskList();
            turnTimer_.start();
            return;
        }
    }
}

void ScpiServer::scheduleTaskList() {
    const auto due = instrument_.taskListDue();
    if (!due) {
        taskListTimer_.stop();
        return;
    }
    const auto wait = std::max(*due - clock_.now(), std::chrono::milliseconds{0});
    taskListTimer_.start(wait);
}

}  // namespace tavero::qt
