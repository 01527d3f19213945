// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ServerClient.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "qt/network/SocketPeer.h"

namespace tavero::qt {

ServerClient::ServerClient(int descriptor, std::ostream& log, QObject* parent)
    : QObject(parent),
      descriptor_(descriptor),
      log_(log),
      readNotifier_(descriptor, QSocketNotifier::Read),
      writeNotifier_(descriptor, QSocketNotifier::Write),
      peer_(peerAddress(descriptor)) {
    writeNotifier_.setEnabled(false);
    connect(&readNotifier_, &QSocketNotifier::activated, this, [this] { receive(); });
    connect(&writeNotifier_, &QSocketNotifier::activated, this, &ServerClient::send);
}

ServerClient::~ServerClient() {
    if (!finished_) {
        readNotifier_.setEnabled(false);
        writeNotifier_.setEnabled(false);
        // The server is ending: nothing is left to report a failed close to.
        ::close(descriptor_);
    }
}

void ServerClient::receive() {
    while (!inputEnded_ && !finished_ && !holdsRequest()) {
        std::array<char, 8192> buffer{};
        const std::size_t room = std::min(inputRoom(), buffer.size());
        const ssize_t got = ::recv(descriptor_, buffer.data(), room, MSG_DONTWAIT);
        if (got > 0) {
            acknowledgePromptly(descriptor_);
            lastActive_ = std::chrono::steady_clock::now();
            take(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        } else if (got == 0) {
            inputEnded_ = true;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            finish();  // reset: the client is gone
        } else if (errno != EINTR) {
            break;
        }
    }
    if (finished_) {
        return;
    }
    readNotifier_.setEnabled(!inputEnded_ && !holdsRequest());
    emit inputWaiting();
    finishWhenDone();
}

void ServerClient::send() {
    while (!output_.isEmpty() && !finished_) {
        const ssize_t sent =
            ::send(descriptor_, output_.constData(), static_cast<std::size_t>(output_.size()),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            output_.remove(0, sent);
        } else if (sent == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        } else if (errno != EINTR) {
            finish();  // the client is gone
        }
    }
    if (finished_) {
        return;
    }
    writeNotifier_.setEnabled(!output_.isEmpty());
    emit inputWaiting();
    finishWhenDone();
}

HeldConnection ServerClient::held() const {
    return {peer_, lastActive_, partialRequest()};
}

void ServerClient::finishWhenDone() {
    if (inputEnded_ && !holdsRequest() && output_.isEmpty()) {
        finish();
    }
}

void ServerClient::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    if (::close(descriptor_) != 0) {
        log_ << "tavero-ctl: closing the connection from a client failed: " << std::strerror(errno)
             << std::endl;
    }
    emit finished();
}

}  // namespace tavero::qt
