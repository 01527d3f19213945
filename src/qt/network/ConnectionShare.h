// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "qt/network/LineLimiter.h"

namespace tavero::qt {

/// One connection a server holds, as the shares of the addresses see it.
struct HeldConnection {
    QHostAddress peer;  ///< as plainAddress() gives it
    /// When the client last sent a byte, or connected.
    std::chrono::steady_clock::time_point lastActive;
    /// It holds part of a request and no whole one: a slow or stalled sender.
    bool partialRequest = false;
};

/// The most connections of a full server one address may hold and still take another's place.
constexpr std::size_t addressShare(std::size_t capacity) {
    return capacity / 4;
}

/// Which of a full server's connections is closed so that a new one from `peer` is served, so
/// that no client locks the others out by holding every connection. Nothing when `peer` already
/// holds its share, or every other address holds no more than it: the new connection is refused
/// then. Else of the addresses holding more than `peer`, a connection with a partial request
/// goes first, then one of the address holding the most, the longest idle of them first.
std::optional<std::size_t> connectionToClose(std::span<const HeldConnection> held,
                                             const QHostAddress& peer, std::size_t capacity);

/// Says on `log` that `closed` made room for a new connection from `newcomer`, in one line a
/// minute per address that lost connections; `crowd` says how full the server is.
void reportClosedForNewcomer(std::ostream& log, LineLimiter& lines, const std::string& crowd,
                             const HeldConnection& closed, const QHostAddress& newcomer);

}  // namespace tavero::qt
