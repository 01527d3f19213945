// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/LivePages.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "qt/network/ConnectionShare.h"
#include "qt/network/ListenAddress.h"

namespace tavero::qt {

LivePages::LivePages(std::ostream& log, QObject* parent) : QObject(parent), log_(log) {
    pingTimer_.setInterval(kPingPeriodMs);
    connect(&pingTimer_, &QTimer::timeout, this, &LivePages::ping);
    pingTimer_.start();
}

LivePages::~LivePages() {
    // The sockets go first, while nothing reacts to their closing any more.
    for (Page& page : pages_) {
        page.socket->disconnect(this);
    }
}

bool LivePages::makeRoomFor(const QHostAddress& peer) {
    if (pages_.size() < kMaxPages) {
        return true;
    }
    std::vector<HeldConnection> held;
    held.reserve(pages_.size());
    for (const Page& page : pages_) {
        held.push_back({page.peer, page.lastActive, false});
    }
    const std::optional<std::size_t> closed = connectionToClose(held, peer, kMaxPages);
    if (!closed) {
        return false;
    }
    reportClosedForNewcomer(log_, closedLines_,
                            "front panel: " + std::to_string(kMaxPages) + " pages are open",
                            held[*closed], peer);
    close(pages_[*closed].socket.get());
    return true;
}

void LivePages::add(std::unique_ptr<QWebSocket> page, const QString& first) {
    page->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
    page->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
    QWebSocket* socket = page.get();
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { close(socket); });
    const auto answered = [this, socket] {
        if (Page* held = find(socket)) {
            held->lastActive = std::chrono::steady_clock::now();
            held->awaitingPong = false;
        }
    };
    connect(socket, &QWebSocket::pong, this, answered);
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket, answered](const QString& message) {
                answered();
                emit received(*socket, message);
            });
    connect(socket, &QWebSocket::binaryMessageReceived, this, answered);
    socket->sendTextMessage(first);
    pages_.push_back(
        {std::move(page), plainAddress(socket->peerAddress()), std::chrono::steady_clock::now()});
}

void LivePages::send(const QString& message) {
    std::vector<QWebSocket*> unread;
    for (const Page& page : pages_) {
        if (page.socket->bytesToWrite() > kMaxUnsentBytes) {
            unread.push_back(page.socket.get());
        } else {
            page.socket->sendTextMessage(message);
        }
    }
    std::for_each(unread.begin(), unread.end(), [this](QWebSocket* socket) { close(socket); });
}

LivePages::Page* LivePages::find(const QWebSocket* socket) {
    const auto found = std::find_if(pages_.begin(), pages_.end(), [socket](const Page& page) {
        return page.socket.get() == socket;
    });
    return found != pages_.end() ? &*found : nullptr;
}

void LivePages::close(QWebSocket* socket) {
    const auto found = std::find_if(pages_.begin(), pages_.end(), [socket](const Page& page) {
        return page.socket.get() == socket;
    });
    if (found == pages_.end()) {
        return;
    }
    std::unique_ptr<QWebSocket> closing = std::move(found->socket);
    pages_.erase(found);
    closing->disconnect(this);
    closing->abort();
    closing.release()->deleteLater();
}

void LivePages::ping() {
    std::vector<QWebSocket*> silent;
    for (Page& page : pages_) {
        if (page.awaitingPong) {
            silent.push_back(page.socket.get());
        } else {
            page.awaitingPong = true;
            page.socket->ping();
        }
    }
    std::for_each(silent.begin(), silent.end(), [this](QWebSocket* socket) { close(socket); });
}

}  // namespace tavero::qt
