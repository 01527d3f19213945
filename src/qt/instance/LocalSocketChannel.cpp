// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/instance/LocalSocketChannel.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "ctl/InstanceProtocol.h"

namespace tavero::qt {

namespace {

/// A listening socket takes the connection at once; one that does not is not a holder's.
constexpr int kConnectTimeoutMs = 1000;

int remainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

std::unique_ptr<LocalSocketChannel> LocalSocketChannel::connect(const QString& path) {
    std::unique_ptr<LocalSocketChannel> channel(new LocalSocketChannel);
    channel->socket_.connectToServer(path);
    if (!channel->socket_.waitForConnected(kConnectTimeoutMs)) {
        return nullptr;
    }
    // The folder is the user's alone; the check keeps it so should that ever change.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(static_cast<int>(channel->socket_.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                     &peer, &size) != 0 ||
        peer.uid != ::getuid()) {
        return nullptr;
    }
    channel->peerProcessId_ = peer.pid;
    return channel;
}

bool LocalSocketChannel::send(std::string_view line) {
    const auto size = static_cast<qint64>(line.size());
    if (socket_.write(line.data(), size) != size) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + ctl::kInstanceAnswerTimeout;
    while (socket_.bytesToWrite() > 0) {
        if (!socket_.waitForBytesWritten(remainingMs(deadline))) {
            return false;
        }
    }
    return true;
}

ctl::InstanceChannel::Received LocalSocketChannel::receive(
    std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (socket_.canReadLine()) {
            const QByteArray line = socket_.readLine(ctl::kInstanceLineLimit);
            if (!line.endsWith('\n')) {
                return {Status::kTooLong, {}};
            }
            return {Status::kLine, line.chopped(1).toStdString()};
        }
        if (socket_.bytesAvailable() >= static_cast<qint64>(ctl::kInstanceLineLimit)) {
            return {Status::kTooLong, {}};
        }
        if (socket_.state() != QLocalSocket::ConnectedState) {
            return {Status::kGone, {}};
        }
        const int waitMs = remainingMs(deadline);
        if (waitMs == 0) {
            return {Status::kTimedOut, {}};
        }
        // A close or the deadline shows on the next turn, after the bytes that came first.
        socket_.waitForReadyRead(waitMs);
    }
}

}  // namespace tavero::qt
