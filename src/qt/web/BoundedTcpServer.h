// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <ostream>
#include <vector>

#include "qt/network/LineLimiter.h"
#include "qt/web/HttpAnswer.h"

namespace tavero::qt {

/// Accepts the front panel's connections within bounds, so that a slow or hostile client costs
/// the others nothing. Each holds at most kMaxRequestBytes of unread request, the rest held back
/// by TCP. A request must arrive whole within kRequestTimeoutMs of its first byte (the first
/// within that time of the connect), and a connection idle after its answer is closed after
/// kIdleTimeoutMs. A request that announces a body over kMaxBodyBytes gets 413 at once, and its
/// body is read and dropped. When kMaxConnections are open, a new connection from an address
/// below its share takes the place of another that is no live page (see connectionToClose()):
/// a slow request's first.
class BoundedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    /// A change's body is a small JSON object; more is no page's.
    static constexpr qint64 kMaxBodyBytes = 4096;
    static constexpr int kRequestTimeoutMs = 5'000;
    static constexpr int kIdleTimeoutMs = 30'000;
    static constexpr int kMaxConnections = 256;

    /// @param answerHeaders sent with the answers it gives itself
    /// @param log gets a line a minute per address whose connections are closed for others
    BoundedTcpServer(std::vector<HttpHeader> answerHeaders, std::ostream& log,
                     QObject* parent = nullptr);
    ~BoundedTcpServer() override;

    /// A whole request came on `socket`: it may idle until its next one.
    void requestSeen(QTcpSocket* socket);
    /// `socket` became a live page (WebSocket): it may stay open while idle, and its share is
    /// the page's.
    void becamePage(QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    class Connection;

    Connection* find(QTcpSocket* socket) const;
    void received(Connection& connection);
    /// Whether a connection from `peer` may be served, closing another one if it must.
    bool makeRoomFor(const QHostAddress& peer);

    std::vector<HttpHeader> answerHeaders_;
    std::ostream& log_;
    LineLimiter closedLines_;
    std::vector<Connection*> connections_;
};

}  // namespace tavero::qt
