// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "core/StoredProfile.h"
#include "store/BackupFileWriter.h"
#include "store/FileWriter.h"

namespace tavero::ctl {

/// The window's profile file as the tool's commands use it. Failures are written to `errors`.
class ProfileFileAccess {
public:
    /// @param path the profile file; empty when there is no per-user data folder
    ProfileFileAccess(std::filesystem::path path, store::FileWriter& writer, std::ostream& errors);

    /// Makes sure the folders and the file exist, as the window does when it starts (a new file
    /// holds 50 empty profiles), and reads the profiles. Nothing after a failure: an existing
    /// file is then left as it was. A file read only in part is warned about, and the next
    /// `write` keeps its old bytes as Profile.pro.bak.
    std::optional<std::vector<StoredProfile>> read();

    /// Replaces the whole file. False after a failure; the file then keeps its old content.
    bool write(std::span<const StoredProfile> profiles);

private:
    bool prepare();

    std::filesystem::path path_;
    store::BackupFileWriter writer_;
    std::ostream& errors_;
};

}  // namespace tavero::ctl
