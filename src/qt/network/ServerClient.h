// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <cstddef>
#include <ostream>
#include <string_view>

#include "qt/network/ConnectionShare.h"

namespace tavero::qt {

/// A client of the server on its own TCP socket, raw SCPI or RPC, that takes turns with the
/// others: owns the socket and sends its answers without blocking.
class ServerClient : public QObject {
    Q_OBJECT
public:
    ~ServerClient() override;

    ServerClient(const ServerClient&) = delete;
    ServerClient& operator=(const ServerClient&) = delete;

    /// A request is held and the client reads its answers.
    virtual bool ready() const = 0;
    /// Carries out the client's next request, answers it and reads on.
    virtual void takeTurn() = 0;
    /// What the server's shares of the addresses weigh: the peer, its last activity and whether it
    /// holds part of a request.
    HeldConnection held() const;
    /// Closes the socket, dropping what the client sent and was not yet answered.
    void finish();

signals:
    /// The client may be ready for a turn.
    void inputWaiting();
    /// The socket is closed; the client may be deleted.
    void finished();

protected:
    /// Takes ownership of the connected socket `descriptor`; `log` gets a line for a failed
    /// close.
    ServerClient(int descriptor, std::ostream& log, QObject* parent);

    /// Reads what the client sent until it holds a whole request: the rest waits in the
    /// system's buffers, so that a fast sender is held back by TCP.
    void receive();
    /// A whole request is held and no more input is read for now.
    virtual bool holdsRequest() const = 0;
    /// How many bytes the next read may take, at least one.
    virtual std::size_t inputRoom() const = 0;
    /// Takes bytes the client sent.
    virtual void take(std::string_view bytes) = 0;
    /// Part of a request is held and no whole one.
    virtual bool partialRequest() const = 0;
    /// Sends what output_ holds, as far as the socket takes it.
    void send();

    int descriptor_;
    std::ostream& log_;
    QSocketNotifier readNotifier_;
    QSocketNotifier writeNotifier_;
    QByteArray output_;
    QHostAddress peer_;
    std::chrono::steady_clock::time_point lastActive_ = std::chrono::steady_clock::now();
    /// The client ended its direction: a request it did not finish is not answered.
    bool inputEnded_ = false;
    bool finished_ = false;

private:
    /// Closes once the input has ended and every answer is sent.
    void finishWhenDone();
};

}  // namespace tavero::qt
