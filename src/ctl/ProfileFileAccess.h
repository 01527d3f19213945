// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "core/StoredProfile.h"
#include "ctl/RunClock.h"
#include "store/BackupFileWriter.h"
#include "store/FileUpdateLock.h"
#include "store/FileWriter.h"
#include "store/ProfileFileUpdate.h"

namespace tavero::ctl {

/// The window's profile file as the tool's commands use it. Failures are written to `errors`,
/// each with its reason.
class ProfileFileAccess {
public:
    /// @param path the profile file; empty when there is no per-user data folder
    /// @param clock waits for the update lock while another program holds it, until an
    /// interrupt comes; without one (a server that must go on serving others) a held lock fails
    /// at once (lockBusy())
    ProfileFileAccess(std::filesystem::path path, store::FileWriter& writer, std::ostream& errors,
                      RunClock* clock = nullptr);

    /// Makes sure the folders and the file exist, as the window does when it starts (a new file
    /// holds 50 empty profiles), and reads the profiles. Nothing after a failure: an existing
    /// file is then left as it was. A file read only in part is warned about once, and the next
    /// save keeps its old bytes as Profile.pro.bak.
    std::optional<std::vector<StoredProfile>> read();

    /// Under the update lock shared with the window and the other tools: reads the file afresh,
    /// so that a store made meanwhile is kept, lets `change` alter the profile at `index` and
    /// saves the whole file. False after a failure; the file then keeps its old content unless
    /// the message says otherwise.
    bool update(std::size_t index, const std::function<void(StoredProfile&)>& change);

    /// The last read or update failed as another program held the update lock.
    bool lockBusy() const { return lockBusy_; }

private:
    bool makeFolders();
    /// Reports what went wrong, or warns once about a file read only in part; false after a
    /// failure.
    bool report(const store::ProfileAccess& access, std::size_t index);
    /// Runs `attempt` until it is not kept from the lock, waiting on the clock in between.
    store::ProfileAccess whenLockFree(
        const std::function<store::ProfileAccess(store::LockWait)>& attempt);

    std::filesystem::path path_;
    store::BackupFileWriter writer_;
    std::ostream& errors_;
    RunClock* clock_;
    bool warned_ = false;
    bool lockBusy_ = false;
};

}  // namespace tavero::ctl
