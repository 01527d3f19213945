// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace tavero::qt {

/// A client of the server on one socket, raw SCPI or RPC, that takes turns with the others.
class ServerClient : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// A request is held and the client reads its answers.
    virtual bool ready() const = 0;
    /// Carries out the client's next request, answers it and reads on.
    virtual void takeTurn() = 0;

signals:
    /// The client may be ready for a turn.
    void inputWaiting();
    /// The socket is closed; the client may be deleted.
    void finished();
};

}  // namespace tavero::qt
