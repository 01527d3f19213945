// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>

#include "scpi/ErrorQueue.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

/// One client of the SCPI server: reads its lines, has the instrument carry them out and
/// answers in the client's order. Its memory stays bounded whatever the client sends or leaves
/// unread; it deletes itself when the client goes.
class ScpiConnection : public QObject {
    Q_OBJECT
public:
    /// The longest line taken, in bytes without its LF.
    static constexpr qsizetype kMaxLineLength = 4096;
    /// Lines are left unread while this much of the answers waits to be sent, in bytes.
    static constexpr qint64 kMaxPendingAnswer = 64 * 1024;

    /// Takes ownership of `socket`.
    ScpiConnection(QTcpSocket* socket, scpi::Instrument& instrument, QObject* parent);
    ~ScpiConnection() override;

signals:
    /// A line has been carried out.
    void lineDone();

private:
    void readLines();
    void carryOut(const QByteArray& line);

    QTcpSocket* socket_;
    scpi::Instrument& instrument_;
    scpi::ErrorQueue status_;
    QByteArray pending_;
    bool skippingLongLine_ = false;
};

}  // namespace tavero::qt
