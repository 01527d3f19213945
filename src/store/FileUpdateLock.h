// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <system_error>

namespace tavero::store {

/// An advisory lock (flock) for one read-modify-write of a file that the window, tavero-ctl and
/// the SCPI server share: a second writer waits and then reads the first one's result. It is
/// held on the folder that holds the file, as a save replaces the file by a new one and the
/// file may not exist yet; every program that writes there takes the same lock.
class FileUpdateLock {
public:
    /// Waits until the lock on the folder of `file` is held.
    explicit FileUpdateLock(const std::filesystem::path& file);
    ~FileUpdateLock();
    FileUpdateLock(const FileUpdateLock&) = delete;
    FileUpdateLock& operator=(const FileUpdateLock&) = delete;

    /// Why the lock could not be taken (the folder is missing or cannot be opened); empty while
    /// it is held.
    const std::error_code& error() const { return error_; }

private:
    int fd_ = -1;
    std::error_code error_;
};

}  // namespace tavero::store
