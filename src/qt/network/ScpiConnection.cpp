// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiConnection.h"

#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <string_view>
#include <utility>

#include "qt/network/SocketPeer.h"
#include "scpi/HttpRequestLine.h"

namespace tavero::qt {

ScpiConnection::ScpiConnection(int descriptor, scpi::Instrument& instrument, std::ostream& log,
                               QObject* parent)
    : ServerClient(descriptor, log, parent), instrument_(instrument) {}

ScpiConnection::~ScpiConnection() {
    instrument_.forget(status_);
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

}  // namespace tavero::qt
