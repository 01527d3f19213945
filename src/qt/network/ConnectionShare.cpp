// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ConnectionShare.h"

#include <QHash>
#include <tuple>

namespace tavero::qt {

std::optional<std::size_t> connectionToClose(std::span<const HeldConnection> held,
                                             const QHostAddress& peer, std::size_t capacity) {
    QHash<QHostAddress, std::size_t> perAddress;
    for (const HeldConnection& connection : held) {
        ++perAddress[connection.peer];
    }
    const std::size_t own = perAddress.value(peer);
    if (own >= addressShare(capacity)) {
        return std::nullopt;
    }
    std::optional<std::size_t> chosen;
    // Compared as tuples: partial first, then the larger holder, then the older activity.
    const auto rank = [&](const HeldConnection& connection) {
        return std::make_tuple(
            connection.partialRequest, perAddress.value(connection.peer),
            std::chrono::steady_clock::time_point::max() - connection.lastActive);
    };
    for (std::size_t index = 0; index < held.size(); ++index) {
        if (perAddress.value(held[index].peer) <= own) {
            continue;
        }
        if (!chosen || rank(held[index]) > rank(held[*chosen])) {
            chosen = index;
        }
    }
    return chosen;
}

void reportClosedForNewcomer(std::ostream& log, LineLimiter& lines, const std::string& crowd,
                             const HeldConnection& closed, const QHostAddress& newcomer) {
    const std::string loser = closed.peer.toString().toStdString();
    const std::optional<std::size_t> heldBack =
        lines.admit(loser, std::chrono::steady_clock::now());
    if (!heldBack) {
        return;
    }
    log << "tavero-ctl: " << crowd << ": closed "
        << (closed.partialRequest ? "a connection with an unfinished request"
                                  : "the longest idle connection")
        << " of " << loser << " to serve " << newcomer.toString().toStdString();
    if (*heldBack != 0) {
        log << " (and " << *heldBack << " more of it since the last such line)";
    }
    log << '\n';
}

}  // namespace tavero::qt
