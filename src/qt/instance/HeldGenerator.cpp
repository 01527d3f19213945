// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/instance/HeldGenerator.h"

#include <optional>
#include <ostream>

#include "qt/instance/InstanceFolder.h"
#include "qt/instance/LocalSocketChannel.h"

namespace tavero::qt {

std::unique_ptr<ctl::InstanceSession> reachHeldGenerator(const QStringList& devicePaths,
                                                         std::ostream& errors) {
    const std::optional<QString> folder = instanceFolder(false);
    if (!folder) {
        return nullptr;
    }
    for (const QString& device : devicePaths) {
        if (std::unique_ptr<LocalSocketChannel> channel =
                LocalSocketChannel::connect(instanceSocketPath(*folder, device))) {
            return std::make_unique<ctl::InstanceSession>(std::move(channel), device.toStdString(),
                                                          errors);
        }
    }
    return nullptr;
}

std::unique_ptr<ctl::InstanceSession> introduceHolder(const QStringList& devicePaths) {
    // The window tells what it found in its own words; the tool's lines are not for it.
    static std::ostream discarded(nullptr);
    std::unique_ptr<ctl::InstanceSession> holder = reachHeldGenerator(devicePaths, discarded);
    return holder && holder->introduce() ? std::move(holder) : nullptr;
}

}  // namespace tavero::qt
