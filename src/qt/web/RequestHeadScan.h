// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace tavero::qt {

/// Watches the bytes of an HTTP request as they arrive for the end of its head and the length of
/// body it announces, so that a body over the bound is refused before it is sent.
class RequestHeadScan {
public:
    /// The most of a head looked at; a longer one is left to the bound on unread bytes.
    static constexpr qsizetype kMaxHeadBytes = 8192;

    /// Takes the next bytes of the request.
    void feed(QByteArrayView bytes);
    /// The head has ended (an empty line).
    bool complete() const { return complete_; }
    /// The Content-Length of a complete head, in bytes; nothing without a readable one.
    std::optional<qint64> bodyLength() const;
    /// Starts over for the next request.
    void clear();

private:
    QByteArray head_;
    bool complete_ = false;
};

}  // namespace tavero::qt
