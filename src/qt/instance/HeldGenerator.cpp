// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/instance/HeldGenerator.h"

#include <optional>

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

}  // namespace tavero::qt
