// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string_view>

#include "qt/network/ServerClient.h"
#include "scpi/ErrorQueue.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

/// One client of the SCPI server on its own TCP socket: holds at most one line of its input,
/// leaving the rest in the system's buffers so that a fast sender is held back by TCP, and
/// carries out a line when the server gives it a turn. The end of the client's input ends only
/// its direction: what it sent is still carried out and answered before the socket closes.
/// A client that reset the connection is dropped with all it sent.
class ScpiConnection : public ServerClient {
    Q_OBJECT
public:
    /// The longest line taken, in bytes without its LF.
    static constexpr qsizetype kMaxLineLength = 4096;
    /// No line is taken while this much of the answers waits to be sent, in bytes.
    static constexpr qsizetype kMaxPendingAnswer = 64 * 1024;
    /// How often a line that waits for the profile file tries again.
    static constexpr std::chrono::milliseconds kFileRetry{50};

    /// Takes ownership of the connected socket `descriptor`. `log` gets one line for each client
    /// closed for sending HTTP.
    ScpiConnection(int descriptor, scpi::Instrument& instrument, std::ostream& log,
                   QObject* parent);
    ~ScpiConnection() override;

    ScpiConnection(const ScpiConnection&) = delete;
    ScpiConnection& operator=(const ScpiConnection&) = delete;

    /// A line is waiting and the client reads its answers.
    bool ready() const override;
    /// Carries out the client's next line, answers it and reads on. A line that needs the
    /// profile file while another program saves there is set aside and tried again later, the
    /// other clients taking their turns meanwhile.
    void takeTurn() override;
    const scpi::ErrorQueue& status() const { return status_; }

private:
    bool holdsRequest() const override;
    std::size_t inputRoom() const override;
    void take(std::string_view bytes) override;
    bool partialRequest() const override;
    /// The next whole line of the input.
    std::optional<QByteArray> nextLine();

    scpi::Instrument& instrument_;
    scpi::ErrorQueue status_;
    model::Origin origin_;
    QByteArray input_;
    /// The line set aside until the profile file is free, and since when.
    std::optional<QByteArray> waitingLine_;
    std::chrono::steady_clock::time_point waitingSince_;
    QTimer fileRetry_;
    bool retryDue_ = false;
    bool skippingLongLine_ = false;
    bool firstLine_ = true;
};

}  // namespace tavero::qt
