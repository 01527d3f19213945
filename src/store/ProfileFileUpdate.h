// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "core/StoredProfile.h"
#include "store/BackupFileWriter.h"
#include "store/FileUpdateLock.h"
#include "store/FileWriter.h"
#include "store/ProfileFile.h"

// Every program that stores a profile (the window, tavero-ctl, the servers) goes through here,
// so that none of them writes its own old copy over a store made meanwhile by another one.

namespace tavero::store {

/// Where a locked read or update of the profile file stopped.
enum class ProfileStep : std::uint8_t {
    kDone,
    kLock,    ///< the folder's update lock could not be taken: `lockError`
    kCreate,  ///< the missing file could not be created: `saved`
    kRead,    ///< the file cannot be read whole: readProblemText()
    kIndex,   ///< the file holds no profile at the index
    kSave,    ///< the file could not be saved: `saved`
};

struct ProfileAccess {
    ProfileStep step = ProfileStep::kDone;
    std::error_code lockError;
    /// What the file holds, after an update with the change made; its extent tells whether it
    /// was read only in part.
    ProfileRead read;
    SaveResult saved;

    bool ok() const { return step == ProfileStep::kDone; }
};

/// Under the folder's update lock: creates a missing file with the default profiles and reads
/// it (readProblemText() says why a file is unreadable). The next save through `writer` of a file
/// read only in part keeps its old bytes as NAME.bak. A file whose list is hidden by an XML
/// declaration counts as unreadable.
ProfileAccess readProfilesLocked(BackupFileWriter& writer, const std::filesystem::path& file,
                                 LockWait wait = LockWait::kBlock);

/// Under the folder's update lock: reads the file afresh as readProfilesLocked() does, lets
/// `change` alter the profile at `index` and saves the whole file. A file that cannot be read
/// or holds no profile at `index` is left as it is: nothing on disk changes.
ProfileAccess updateProfileFile(BackupFileWriter& writer, const std::filesystem::path& file,
                                std::size_t index,
                                const std::function<void(StoredProfile&)>& change,
                                LockWait wait = LockWait::kBlock);

/// Why a read or update stopped, naming the file or folder, e.g. "/home/u/Profile.pro: Error:
/// Unknown entity (line 3, column 12)"; `index` is the profile an update was to change.
std::string accessProblemText(const ProfileAccess& access, const std::filesystem::path& file,
                              std::size_t index);

}  // namespace tavero::store
