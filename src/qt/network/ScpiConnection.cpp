// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiConnection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "qt/network/SocketPeer.h"
#include "scpi/HttpRequestLine.h"

namespace tavero::qt {

ScpiConnection::ScpiConnection(int descriptor, scpi::Instrument& instrument, std::ostream& log,
                               QObject* parent)
    : ServerClient(parent),
      descriptor_(descriptor),
      instrument_(instrument),
      log_(log),
      readNotifier_(descriptor, QSocketNotifier::Read),
      writeNotifier_(descriptor, QSocketNotifier::Write) {
    writeNotifier_.setEnabled(false);
    connect(&readNotifier_, &QSocketNotifier::activated, this, &ScpiConnection::receive);
    connect(&writeNotifier_, &QSocketNotifier::activated, this, &ScpiConnection::send);
}

ScpiConnection::~ScpiConnection() {
    instrument_.forget(status_);
    if (!finished_) {
        readNotifier_.setEnabled(false);
        writeNotifier_.setEnabled(false);
        // The server is ending: nothing is left to report a failed close to.
        ::close(descriptor_);
    }
}

bool ScpiConnection::holdsLine() const {
    return input_.contains('\n');
}

bool ScpiConnection::ready() const {
    return !finished_ && output_.size() < kMaxPendingAnswer && holdsLine();
}

void ScpiConnection::receive() {
    // Only while no whole line is held: the rest waits in the system's buffers.
    while (!inputEnded_ && !finished_ && !holdsLine()) {
        std::array<char, kMaxLineLength + 1> buffer{};
        const auto room = static_cast<std::size_t>(kMaxLineLength + 1 - input_.size());
        const ssize_t got = ::recv(descriptor_, buffer.data(), room, MSG_DONTWAIT);
        if (got > 0) {
            input_.append(buffer.data(), got);
            if (!holdsLine() && input_.size() > kMaxLineLength) {
                if (!skippingLongLine_) {
                    status_.push({scpi::kInputBufferOverrun,
                                  scpi::standardMessage(scpi::kInputBufferOverrun)});
                    skippingLongLine_ = true;
                }
                input_.clear();
            }
        } else if (got == 0) {
            // The client's end of input: a line it did not finish is not carried out.
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
    readNotifier_.setEnabled(!inputEnded_ && !holdsLine());
    emit inputWaiting();
    finishWhenDone();
}

void ScpiConnection::send() {
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

std::optional<QByteArray> ScpiConnection::nextLine() {
    while (holdsLine()) {
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
    if (const std::optional<QByteArray> line = nextLine()) {
        std::string_view text(line->constData(), static_cast<std::size_t>(line->size()));
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        if (scpi::isHttpRequestLine(text, std::exchange(firstLine_, false))) {
            logHttpRefused(log_, descriptor_);
            finish();
            return;
        }
        output_ += QByteArray::fromStdString(instrument_.execute(status_, text));
        send();
    }
    if (!finished_) {
        receive();
    }
}

void ScpiConnection::finishWhenDone() {
    if (inputEnded_ && !holdsLine() && output_.isEmpty()) {
        finish();
    }
}

void ScpiConnection::finish() {
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
