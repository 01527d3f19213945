// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/BoundedTcpServer.h"

#include <unistd.h>

#include <QTimer>

namespace tavero::qt {

namespace {

constexpr char kTimerName[] = "requestTimer";

}  // namespace

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    if (open_ >= kMaxConnections || perPeer_.value(peer) >= kMaxRequestConnectionsPerPeer) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++open_;
    ++perPeer_[peer];
    requestConnections_.insert(socket, peer);
    // Qt stops reading from the system once this much is held, which holds back the sender.
    socket->setReadBufferSize(kMaxRequestBytes);
    // Answers and live updates go out as they are made rather than waiting for an ack.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto* timer = new QTimer(socket);
    timer->setObjectName(kTimerName);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, socket, &QTcpSocket::abort);
    timer->start(kRequestTimeoutMs);
    connect(socket, &QObject::destroyed, this, [this, peer](QObject* gone) {
        --open_;
        forget(gone, peer);
    });
    addPendingConnection(socket);
}

void BoundedTcpServer::requestSeen(QTcpSocket* socket) {
    if (auto* timer = socket->findChild<QTimer*>(kTimerName, Qt::FindDirectChildrenOnly)) {
        timer->start(kRequestTimeoutMs);
    }
}

void BoundedTcpServer::becamePage(QTcpSocket* socket) {
    delete socket->findChild<QTimer*>(kTimerName, Qt::FindDirectChildrenOnly);
    forget(socket, socket->peerAddress());
}

void BoundedTcpServer::forget(QObject* socket, const QHostAddress& peer) {
    if (requestConnections_.remove(socket) == 0) {
        return;
    }
    if (--perPeer_[peer] == 0) {
        perPeer_.remove(peer);
    }
}

}  // namespace tavero::qt
