// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalSocket>
#include <QString>
#include <memory>

#include "ctl/InstanceChannel.h"

namespace tavero::qt {

/// The connection to a holder's local socket, used blocking: tavero-ctl runs no event loop.
class LocalSocketChannel final : public ctl::InstanceChannel {
public:
    /// Connects to the socket at `path`; null when no program of the user listens there (none,
    /// or one that was killed and left its socket behind).
    static std::unique_ptr<LocalSocketChannel> connect(const QString& path);

    bool send(std::string_view line) override;
    Received receive(std::chrono::steady_clock::time_point deadline) override;
    long long peerProcessId() const override { return peerProcessId_; }

private:
    LocalSocketChannel() = default;

    QLocalSocket socket_;
    long long peerProcessId_ = 0;
};

}  // namespace tavero::qt
