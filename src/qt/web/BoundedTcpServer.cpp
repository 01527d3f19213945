// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/BoundedTcpServer.h"

#include <unistd.h>

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "qt/network/ConnectionShare.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/SocketPeer.h"
#include "qt/web/RequestHeadScan.h"

namespace tavero::qt {

/// What the server keeps of one connection, as a child of its socket: the socket's own signals
/// are all disconnected when it becomes a WebSocket, a child's destruction is not.
class BoundedTcpServer::Connection : public QObject {
public:
    explicit Connection(QTcpSocket* held)
        : QObject(held), socket(held), peer(plainAddress(held->peerAddress())) {
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, held, [this] {
            // A client that was refused and still sends is closed once it had time to read why.
            if (refusingBody) {
                this->socket->disconnectFromHost();
            } else {
                this->socket->abort();
            }
        });
        deadline.start(kRequestTimeoutMs);
    }

    HeldConnection held() const { return {peer, lastActive, partialRequest}; }

    QTcpSocket* socket;
    QHostAddress peer;
    std::chrono::steady_clock::time_point lastActive = std::chrono::steady_clock::now();
    /// No whole request has come since the connect or the last answer: a browser's come whole,
    /// a slow client's do not.
    bool partialRequest = true;
    bool page = false;
    /// Answered 413: what it sends is read and dropped.
    bool refusingBody = false;
    RequestHeadScan head;
    QTimer deadline;
};

BoundedTcpServer::BoundedTcpServer(std::vector<HttpHeader> answerHeaders, std::ostream& log,
                                   QObject* parent)
    : QTcpServer(parent), answerHeaders_(std::move(answerHeaders)), log_(log) {}

BoundedTcpServer::~BoundedTcpServer() = default;

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    if (!makeRoomFor(plainAddress(socket->peerAddress()))) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    auto* connection = new Connection(socket);
    connections_.push_back(connection);
    // Only the pointer is compared: the object is no Connection any more when it says so.
    connect(connection, &QObject::destroyed, this,
            [this, connection] { std::erase(connections_, connection); });
    // Qt stops reading from the system once this much is held, which holds back the sender.
    socket->setReadBufferSize(kMaxRequestBytes);
    // Answers and live updates go out as they are made rather than waiting for an ack.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Connected before the HTTP server's own slot, so that a body over the bound is refused
    // before it is parsed.
    connect(socket, &QTcpSocket::readyRead, connection,
            [this, connection] { received(*connection); });
    addPendingConnection(socket);
}

bool BoundedTcpServer::makeRoomFor(const QHostAddress& peer) {
    if (connections_.size() < static_cast<std::size_t>(kMaxConnections)) {
        return true;
    }
    // Live pages have a bound and shares of their own.
    std::vector<Connection*> candidates;
    std::vector<HeldConnection> held;
    for (Connection* connection : connections_) {
        if (!connection->page) {
            candidates.push_back(connection);
            held.push_back(connection->held());
        }
    }
    const std::optional<std::size_t> closed = connectionToClose(held, peer, kMaxConnections);
    if (!closed) {
        return false;
    }
    Connection* loser = candidates[*closed];
    reportClosedForNewcomer(
        log_, closedLines_,
        "front panel: " + std::to_string(kMaxConnections) + " connections are open", held[*closed],
        peer);
    std::erase(connections_, loser);
    loser->socket->abort();
    return true;
}

BoundedTcpServer::Connection* BoundedTcpServer::find(QTcpSocket* socket) const {
    const auto found =
        std::find_if(connections_.begin(), connections_.end(),
                     [socket](const Connection* held) { return held->socket == socket; });
    return found != connections_.end() ? *found : nullptr;
}

void BoundedTcpServer::received(Connection& connection) {
    QTcpSocket& socket = *connection.socket;
    acknowledgePromptly(static_cast<int>(socket.socketDescriptor()));
    connection.lastActive = std::chrono::steady_clock::now();
    if (!connection.refusingBody) {
        if (!connection.partialRequest) {
            connection.partialRequest = true;
            connection.deadline.start(kRequestTimeoutMs);
        }
        connection.head.feed(socket.peek(socket.bytesAvailable()));
        if (!connection.head.complete() ||
            connection.head.bodyLength().value_or(0) <= kMaxBodyBytes) {
            return;
        }
        connection.refusingBody = true;
        connection.deadline.start(kRequestTimeoutMs);
        std::vector<HttpHeader> headers = answerHeaders_;
        headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
        headers.emplace_back("Connection", "close");
        const QByteArray answer = httpAnswer(413, headers, "Request too large\n");
        if (socket.write(answer) != answer.size()) {
            socket.abort();
            return;
        }
    }
    // Read and dropped here, so that the HTTP server never sees the request, and the client
    // reads the answer rather than a reset for the bytes left unread at the close.
    if (socket.isTransactionStarted()) {
        socket.commitTransaction();
    }
    socket.readAll();
}

void BoundedTcpServer::requestSeen(QTcpSocket* socket) {
    if (Connection* connection = find(socket)) {
        connection->partialRequest = false;
        connection->head.clear();
        connection->deadline.start(kIdleTimeoutMs);
    }
}

void BoundedTcpServer::becamePage(QTcpSocket* socket) {
    if (Connection* connection = find(socket)) {
        connection->page = true;
        connection->partialRequest = false;
        connection->deadline.stop();
    }
}

}  // namespace tavero::qt
