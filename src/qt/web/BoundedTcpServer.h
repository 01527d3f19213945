// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace tavero::qt {

/// Accepts the front panel's connections within bounds, so that a slow or hostile client costs
/// the others nothing: each holds at most kMaxRequestBytes of unread request, is closed when it
/// brings no whole request for kRequestTimeoutMs, and one peer address holds at most
/// kMaxRequestConnectionsPerPeer connections that are not live pages.
class BoundedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr int kRequestTimeoutMs = 30'000;
    static constexpr int kMaxRequestConnectionsPerPeer = 16;
    static constexpr int kMaxConnections = 256;

    using QTcpServer::QTcpServer;

    /// A whole request came on `socket`: its time starts again.
    void requestSeen(QTcpSocket* socket);
    /// `socket` became a live page (WebSocket): it may stay open while idle and no longer
    /// counts toward its peer's request connections.
    void becamePage(QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void forget(QObject* socket, const QHostAddress& peer);

    QHash<QObject*, QHostAddress> requestConnections_;
    QHash<QHostAddress, int> perPeer_;
    int open_ = 0;
};

}  // namespace tavero::qt
