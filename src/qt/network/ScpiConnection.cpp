// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiConnection.h"

#include <string_view>

namespace tavero::qt {

ScpiConnection::ScpiConnection(QTcpSocket* socket, scpi::Instrument& instrument, QObject* parent)
    : QObject(parent), socket_(socket), instrument_(instrument) {
    socket_->setParent(this);
    // Qt stops reading from the system once this much is buffered, so an endless line or a
    // flood waits in the client's own TCP window instead of our memory.
    socket_->setReadBufferSize(kMaxLineLength + 1);
    connect(socket_, &QTcpSocket::readyRead, this, &ScpiConnection::readLines);
    connect(socket_, &QTcpSocket::bytesWritten, this, &ScpiConnection::readLines);
    connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

ScpiConnection::~ScpiConnection() {
    instrument_.forget(status_);
}

void ScpiConnection::readLines() {
    // Lines that arrived before the client hung up are still carried out.
    while (socket_->bytesToWrite() < kMaxPendingAnswer) {
        const qsizetype end = pending_.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = pending_.left(end);
            pending_.remove(0, end + 1);
            if (skippingLongLine_) {
                skippingLongLine_ = false;
            } else {
                carryOut(line);
            }
            continue;
        }
        if (pending_.size() > kMaxLineLength) {
            if (!skippingLongLine_) {
                status_.push(
                    {scpi::kInputBufferOverrun, scpi::standardMessage(scpi::kInputBufferOverrun)});
                skippingLongLine_ = true;
            }
            pending_.clear();
        }
        if (socket_->bytesAvailable() == 0) {
            break;
        }
        pending_.append(socket_->read(kMaxLineLength + 1 - pending_.size()));
    }
}

void ScpiConnection::carryOut(const QByteArray& line) {
    std::string_view text(line.constData(), static_cast<std::size_t>(line.size()));
    if (text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    const std::string answer = instrument_.execute(status_, text);
    if (!answer.empty()) {
        socket_->write(answer.data(), static_cast<qint64>(answer.size()));
    }
    emit lineDone();
}

}  // namespace tavero::qt
