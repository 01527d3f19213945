// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiServer.h"

#include <QAbstractSocket>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>

#include "qt/network/ScpiConnection.h"

namespace tavero::qt {

ScpiServer::ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, QObject* parent)
    : QObject(parent), instrument_(instrument), clock_(clock) {
    taskListTimer_.setSingleShot(true);
    taskListTimer_.setTimerType(Qt::PreciseTimer);
    connect(&server_, &QTcpServer::newConnection, this, &ScpiServer::acceptClients);
    connect(&taskListTimer_, &QTimer::timeout, this, [this] {
        instrument_.advanceTaskList();
        scheduleTaskList();
    });
}

bool ScpiServer::listen(const ListenAddress& address) {
    return server_.listen(address.host, address.port);
}

QString ScpiServer::listeningOn() const {
    const QHostAddress host = server_.serverAddress();
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? '[' + host.toString() + ']'
                             : host.toString();
    return name + ':' + QString::number(server_.serverPort());
}

void ScpiServer::acceptClients() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto* connection = new ScpiConnection(socket, instrument_, this);
        connect(connection, &ScpiConnection::lineDone, this, &ScpiServer::scheduleTaskList);
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
