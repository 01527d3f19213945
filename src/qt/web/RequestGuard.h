// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QStringList>

namespace tavero::qt {

/// Which requests the front panel serves. A page of another site can make the browser send
/// requests to the server, and through a name it controls (DNS rebinding) even read the answers;
/// the Host and Origin it has to send tell such requests from the page's own.
class RequestGuard {
public:
    /// @param listened the address listened on; the any-address stands for `ownAddresses`
    /// @param ownNames the machine's own host names, besides "localhost"
    RequestGuard(QHostAddress listened, quint16 port, QStringList ownNames,
                 QList<QHostAddress> ownAddresses);

    /// Whether the Host header names the server: the address listened on, "localhost" or one
    /// of the machine's names, with the port listened on (which may be left out only for 80).
    bool hostAllowed(const QByteArray& host) const;
    /// Whether the Origin header, if there is one, is the page's own: http:// and the Host.
    /// Browsers send it with every change and WebSocket handshake; a client that sends none is
    /// no browser under another site's control.
    static bool originAllowed(const QByteArray& origin, const QByteArray& host);

private:
    bool namesServer(const QString& name) const;

    QHostAddress listened_;
    quint16 port_;
    QStringList ownNames_;
    QList<QHostAddress> ownAddresses_;
};

}  // namespace tavero::qt
