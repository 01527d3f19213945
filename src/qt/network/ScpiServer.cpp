// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiServer.h"

#include <algorithm>
#include <chrono>

#include "qt/network/ScpiConnection.h"

namespace tavero::qt {

ScpiServer::ScpiServer(scpi::Instrument& instrument, ctl::RunClock& clock, std::ostream& log,
                       QObject* parent)
    : QObject(parent), instrument_(instrument), clock_(clock), log_(log) {
    turnTimer_.setSingleShot(true);
    turnTimer_.setInterval(0);
    taskListTimer_.setSingleShot(true);
    taskListTimer_.setTimerType(Qt::PreciseTimer);
    connect(&listener_, &TcpListener::accepted, this, &ScpiServer::accept);
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
    return addressText(listener_.serverAddress(), listener_.serverPort());
}

void ScpiServer::accept(int descriptor) {
    auto* client = new ScpiConnection(descriptor, instrument_, log_, this);
    clients_.push_back(client);
    connect(client, &ScpiConnection::inputWaiting, this, [this] {
        if (!turnTimer_.isActive()) {
            turnTimer_.start();
        }
    });
    connect(client, &ScpiConnection::finished, this, [this, client] { remove(client); });
}

void ScpiServer::remove(ScpiConnection* client) {
    const auto found = std::find(clients_.begin(), clients_.end(), client);
    const auto index = static_cast<std::size_t>(found - clients_.begin());
    clients_.erase(found);
    if (index < nextTurn_) {
        --nextTurn_;
    }
    client->deleteLater();
}

void ScpiServer::takeTurn() {
    for (std::size_t looked = 0; looked < clients_.size(); ++looked) {
        const std::size_t index = (nextTurn_ + looked) % clients_.size();
        ScpiConnection* client = clients_[index];
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
