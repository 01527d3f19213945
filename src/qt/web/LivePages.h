// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWebSocket>
#include <chrono>
#include <cstddef>
#include <memory>
#include <ostream>
#include <vector>

#include "qt/network/LineLimiter.h"

namespace tavero::qt {

/// The front panel's live pages (WebSockets) within bounds. At most kMaxPages are open; when they
/// all are, a page from an address below its share takes the place of the longest idle page of
/// the address holding the most (see connectionToClose()). A page whose browser does not answer
/// the server's ping within kPingPeriodMs, or leaves kMaxUnsentBytes of updates unsent, reads
/// nothing and is closed; it reconnects when it reads again.
class LivePages : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxPages = 64;
    static constexpr qint64 kMaxUnsentBytes = 64 * 1024;
    static constexpr int kPingPeriodMs = 5'000;
    /// The largest message a page may send: a task list file it uploads.
    static constexpr qint64 kMaxIncomingBytes = 256 * 1024;

    /// `log` gets a line a minute per address whose pages are closed for others.
    explicit LivePages(std::ostream& log, QObject* parent = nullptr);
    ~LivePages() override;

    LivePages(const LivePages&) = delete;
    LivePages& operator=(const LivePages&) = delete;

    /// Whether a page from `peer` may open, closing another one if it must.
    bool makeRoomFor(const QHostAddress& peer);
    /// Keeps `page` until it closes, sending it `first`. What the page sends, within
    /// kMaxIncomingBytes a message, is passed on by received().
    void add(std::unique_ptr<QWebSocket> page, const QString& first);
    /// Sends `message` to every page.
    void send(const QString& message);

signals:
    /// A page sent `message`; whoever answers it sends the answer to `page`.
    void received(QWebSocket& page, const QString& message);

private:
    struct Page {
        std::unique_ptr<QWebSocket> socket;
        QHostAddress peer;
        std::chrono::steady_clock::time_point lastActive;
        bool awaitingPong = false;
    };

    Page* find(const QWebSocket* socket);
    /// Closes `socket` and forgets it.
    void close(QWebSocket* socket);
    /// Closes the pages that did not answer the last ping, and pings the others.
    void ping();

    std::ostream& log_;
    LineLimiter closedLines_;
    std::vector<Page> pages_;
    QTimer pingTimer_;
};

}  // namespace tavero::qt
