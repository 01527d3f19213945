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
    // A partial request first, then the larger holder, then the older activity.
    const auto rank = [&perAddress](const HeldConnection& connection) {
        return std::make_tuple(connection.partialRequest, perAddress.value(connection.peer));
    };
    const auto closesBefore = [&rank](const HeldConnection& a, const HeldConnection& b) {
        return rank(a) != rank(b) ? rank(a) > rank(b) : a.lastActive < b.lastActive;
    };
    std::optional<std::size_t> chosen;
    for (std::size_t index = 0; index < held.size(); ++index) {
        if (perAddress.value(held[index].peer) <= own) {
            continue;
        }
        if (!chosen || closesBefore(held[index], held[*chosen])) {
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
