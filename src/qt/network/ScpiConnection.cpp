// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiConnection.h"

#include <string_view>
#include <utility>

#include "qt/network/HttpRequestLine.h"
#include "qt/network/SocketPeer.h"

namespace tavero::qt {

ScpiConnection::ScpiConnection(int descriptor, scpi::Instrument& instrument, std::ostream& log,
                               QObject* parent)
    : ServerClient(descriptor, log, parent),
      instrument_(instrument),
      origin_{model::FrontEnd::kScpi, peerName(descriptor).toStdString()} {
    fileRetry_.setSingleShot(true);
    fileRetry_.setInterval(kFileRetry);
    connect(&fileRetry_, &QTimer::timeout, this, [this] {
        retryDue_ = true;
        emit inputWaiting();
    });
}

ScpiConnection::~ScpiConnection() {
    instrument_.forget(status_);
}

bool ScpiConnection::holdsRequest() const {
    return waitingLine_ || input_.contains('\n');
}

bool ScpiConnection::ready() const {
    return !finished_ && output_.size() < kMaxPendingAnswer && holdsRequest() &&
           (!waitingLine_ || retryDue_);
}

bool ScpiConnection::partialRequest() const {
    return (skippingLongLine_ || !input_.isEmpty()) && !holdsRequest();
}

std::size_t ScpiConnection::inputRoom() const {
    return static_cast<std::size_t>(kMaxLineLength + 1 - input_.size());
}

void ScpiConnection::take(std::string_view bytes) {
    input_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!holdsRequest() && input_.size() > kMaxLineLength) {
        if (!skippingLongLine_) {
            status_.push(
                {scpi::kInputBufferOverrun, scpi::standardMessage(scpi::kInputBufferOverrun)});
            skippingLongLine_ = true;
        }
        input_.clear();
    }
}

std::optional<QByteArray> ScpiConnection::nextLine() {
    if (waitingLine_) {
        return std::exchange(waitingLine_, std::nullopt);
    }
    while (input_.contains('\n')) {
        const qsizetype end = input_.indexOf('\n');
        QByteArray line = input_.left(end);
        input_.remove(0, end + 1);
        if (!std::exchange(skippingLongLine_, false)) {
            return line;
        }
    }
    return std::nullopt;
}

void ScpiConnection::takeTurn() {
    if (peerReset(descriptor_)) {
        finish();
        return;
    }
    const bool retried = waitingLine_.has_value();
    retryDue_ = false;
    if (std::optional<QByteArray> line = nextLine()) {
        std::string_view text(line->constData(), static_cast<std::size_t>(line->size()));
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        if (!retried && isHttpRequestLine(text, std::exchange(firstLine_, false))) {
            logHttpRefused(log_, descriptor_);
            finish();
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!retried) {
            waitingSince_ = now;
        }
        std::optional<std::string> answer;
        if (now - waitingSince_ < scpi::Instrument::kMaxFileWait) {
            answer = instrument_.tryExecute(status_, text, origin_);
        } else {
            answer = instrument_.execute(status_, text, origin_);
        }
        if (!answer) {
            waitingLine_ = std::move(*line);
            fileRetry_.start();
            return;
        }
        output_ += QByteArray::fromStdString(*answer);
        send();
    }
    if (!finished_) {
        receive();
    }
}

}  // namespace tavero::qt
