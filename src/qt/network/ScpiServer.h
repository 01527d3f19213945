// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include "ctl/RunClock.h"
#include "qt/network/ListenAddress.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

/// Serves the instrument on TCP: one ScpiConnection per client, each line carried out to its
/// end before the next, and the task list advanced between lines.
class ScpiServer : public QObject {
    Q_OBJECT
public:
    ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, QObject* parent = nullptr);

    /// False when the address cannot be listened on; errorText() says why.
    bool listen(const ListenAddress& address);
    QString errorText() const { return server_.errorString(); }
    /// The address and port listened on, e.g. "127.0.0.1:5025" or "[::1]:5025".
    QString listeningOn() const;
    quint16 port() const { return server_.serverPort(); }

private:
    void acceptClients();
    void scheduleTaskList();

    scpi::Instrument& instrument_;
    ctl::RunClock& clock_;
    QTcpServer server_;
    QTimer taskListTimer_;
};

}  // namespace tavero::qt
