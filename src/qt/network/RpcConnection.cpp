// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/RpcConnection.h"

#include <sys/socket.h>

#include <array>
#include <utility>

#include "qt/network/HttpRequestLine.h"
#include "qt/network/SocketPeer.h"

namespace tavero::qt {

namespace {

/// The bytes of the opening kept for the HTTP guard: a request line's method and path.
constexpr std::size_t kOpeningBytes = 256;

}  // namespace

RpcConnection::RpcConnection(int descriptor, RecordHandler handler, std::size_t maxRecordBytes,
                             std::ostream& log, QObject* parent)
    : ServerClient(descriptor, log, parent), handler_(std::move(handler)), reader_(maxRecordBytes) {
    lockRetry_.setSingleShot(true);
    lockRetry_.setInterval(kLockRetry);
    connect(&lockRetry_, &QTimer::timeout, this, [this] {
        retryDue_ = true;
        emit inputWaiting();
    });
}

bool RpcConnection::ready() const {
    return !finished_ && record_ && output_.size() < kMaxPendingReply &&
           (!waitingSince_ || retryDue_);
}

bool RpcConnection::holdsRequest() const {
    return record_.has_value();
}

bool RpcConnection::partialRequest() const {
    return !record_ && reader_.started();
}

std::size_t RpcConnection::inputRoom() const {
    return reader_.wanted();
}

void RpcConnection::take(std::string_view bytes) {
    if (!answeredOnce_ && opening_.size() < kOpeningBytes) {
        opening_.append(bytes.substr(0, kOpeningBytes - opening_.size()));
    }
    reader_.feed(bytes);
    if (reader_.tooLong()) {
        reportHttp();
        finish();
    } else if (reader_.complete()) {
        record_ = reader_.take();
    }
}

void RpcConnection::reportHttp() {
    if (answeredOnce_) {
        return;
    }
    // A browser's request line is read in full before the bound refuses it.
    std::array<char, kOpeningBytes> rest{};
    const ssize_t peeked =
        ::recv(descriptor_, rest.data(), kOpeningBytes - opening_.size(), MSG_PEEK | MSG_DONTWAIT);
    std::string line = opening_;
    if (peeked > 0) {
        line.append(rest.data(), static_cast<std::size_t>(peeked));
    }
    line = line.substr(0, line.find_first_of("\r\n"));
    if (isHttpRequestLine(line, true)) {
        logHttpRefused(log_, descriptor_);
    }
}

void RpcConnection::takeTurn() {
    if (peerReset(descriptor_)) {
        finish();
        return;
    }
    if (!record_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - waitingSince_.value_or(now));
    const vxi11::ServiceOutcome outcome = handler_(*record_, waited);
    retryDue_ = false;
    switch (outcome.kind) {
        case vxi11::ServiceOutcome::Kind::kWaitForLock:
            if (!waitingSince_) {
                waitingSince_ = now;
            }
            lockRetry_.start();
            return;
        case vxi11::ServiceOutcome::Kind::kClose:
            finish();
            return;
        case vxi11::ServiceOutcome::Kind::kReply:
            break;
    }
    waitingSince_.reset();
    record_.reset();
    answeredOnce_ = true;
    output_ += QByteArray::fromStdString(vxi11::markRecord(outcome.reply));
    send();
    if (!finished_) {
        receive();
    }
}

}  // namespace tavero::qt
