// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

#include "store/FileWriter.h"

namespace tavero::store {

/// The program's one way to save a file. The bytes go to a new file beside the target, which is
/// flushed to disk and then renamed over it, so the target holds its old bytes or all the new
/// ones, also after a crash or on a full disk. The new file takes over the target's owner,
/// group, mode and ACL. It has no name until it is complete where the system allows
/// (O_TMPFILE); the names NAME.new-PID-N that a killed save can still leave are removed by the
/// next save once that process is gone.
///
/// Only where the folder refuses the new file (no write permission, read-only) but the target
/// itself is writable is the target overwritten in place: its old bytes are kept in memory first
/// and written back when the new ones cannot be written whole (a full disk), and it is never cut
/// shorter before the new bytes are all there. A crash during that write can still leave it
/// damaged. A target that cannot be read back whole is not written in place. So is another
/// user's file that this process may write but not give away (not run as root), which keeps
/// its owner that way.
class AtomicFileWriter final : public FileWriter {
public:
    SaveResult replaceFile(const std::filesystem::path& path, std::string_view bytes) override;
    SaveResult replaceFileLike(const std::filesystem::path& path, std::string_view bytes,
                               const std::filesystem::path& model) override;
};

}  // namespace tavero::store
