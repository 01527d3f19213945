// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>

namespace tavero::qt {

/// Listens like QTcpServer but hands over each accepted socket as a plain descriptor, for a
/// connection that must half-close and see a reset, which QTcpSocket hides.
class TcpListener : public QTcpServer {
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

signals:
    /// A client connected; the receiver owns the non-blocking `descriptor`.
    void accepted(int descriptor);

protected:
    void incomingConnection(qintptr descriptor) override;
};

}  // namespace tavero::qt
