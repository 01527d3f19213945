// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <ostream>
#include <vector>

#include "ctl/RunClock.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/TcpListener.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

class ScpiConnection;

/// Serves the instrument on TCP: one ScpiConnection per client, the clients taking turns of one
/// line each, each line carried out to its end before the next, and the task list advanced
/// between lines.
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

private:
    void accept(int descriptor);
    void remove(ScpiConnection* client);
    /// Gives the next client in the round that has a line waiting its turn, then returns to the
    /// event loop, so that a new line of any client is seen before the one after.
    void takeTurn();
    void scheduleTaskList();

    scpi::Instrument& instrument_;
    ctl::RunClock& clock_;
    std::ostream& log_;
    TcpListener listener_;
    std::vector<ScpiConnection*> clients_;
    std::size_t nextTurn_ = 0;
    QTimer turnTimer_;
    QTimer taskListTimer_;
};

}  // namespace tavero::qt
