// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "qt/network/ServerClient.h"
#include "vxi11/CoreService.h"
#include "vxi11/RecordReader.h"

namespace tavero::qt {

/// One client of an RPC program on its own TCP socket: holds at most one record of its input,
/// leaving the rest in the system's buffers, and answers it when the server gives it a turn.
/// A record beyond its bound or that is no call closes the connection.
class RpcConnection : public ServerClient {
    Q_OBJECT
public:
    /// Answers one record that has waited `waited` for the device lock so far.
    using RecordHandler = std::function<vxi11::ServiceOutcome(std::string_view record,
                                                              std::chrono::milliseconds waited)>;

    /// No record is taken while this much of the replies waits to be sent, in bytes.
    static constexpr qsizetype kMaxPendingReply = 64 * 1024;
    /// How often a call waiting for the lock is tried again.
    static constexpr std::chrono::milliseconds kLockRetry{10};

    /// Takes ownership of the connected socket `descriptor`. `log` gets one line for each
    /// client closed for sending HTTP.
    RpcConnection(int descriptor, RecordHandler handler, std::size_t maxRecordBytes,
                  std::ostream& log, QObject* parent);
    bool ready() const override;
    void takeTurn() override;

private:
    bool holdsRequest() const override;
    std::size_t inputRoom() const override;
    void take(std::string_view bytes) override;
    bool partialRequest() const override;
    /// Logs the client when its refused first bytes open like an HTTP request.
    void reportHttp();

    RecordHandler handler_;
    QTimer lockRetry_;
    vxi11::RecordReader reader_;
    std::optional<std::string> record_;
    std::optional<std::chrono::steady_clock::time_point> waitingSince_;
    bool retryDue_ = false;
    std::string opening_;  ///< the first bytes of the connection, for the HTTP guard
    bool answeredOnce_ = false;
};

}  // namespace tavero::qt
