// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace tavero::qt {

/// Where a program that holds the generator keeps its socket: tavero in $XDG_RUNTIME_DIR, or
/// /tmp/tavero-UID when that is not set.
QString instanceFolderPath();

/// instanceFolderPath(), when it is a folder that the user alone owns and reaches (mode 0700);
/// nothing otherwise, or when `create` is false and it is not there yet. Created with mode 0700
/// when `create` is true.
std::optional<QString> instanceFolder(bool create);

/// Where the socket of the holder of the device at `canonicalDevicePath` lies in `folder`.
QString instanceSocketPath(const QString& folder, const QString& canonicalDevicePath);

}  // namespace tavero::qt
