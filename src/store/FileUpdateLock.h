// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <system_error>

namespace tavero::store {

/// Whether taking the lock waits for another holder.
enum class LockWait : std::uint8_t {
    kBlock,  ///< wait until the other holder is done
    kTry,    ///< fail at once with EWOULDBLOCK; for a loop that serves others meanwhile
};

/// An advisory lock (flock) for one read-modify-write of a file that the window, tavero-ctl and
/// the SCPI server share: a second writer waits and then reads the first one's result. It is
/// held on the folder that holds the file, as a save replaces the file by a new one and the
/// file may not exist yet; every program that writes there takes the same lock. A thread that
/// holds it already takes it again at once, so that a step holding it may call others that
/// take it.
class FileUpdateLock {
public:
    /// Takes the lock on the folder of `file`, waiting for another holder as `wait` says.
    explicit FileUpdateLock(const std::filesystem::path& file, LockWait wait = LockWait::kBlock);
    ~FileUpdateLock();
    FileUpdateLock(const FileUpdateLock&) = delete;
    FileUpdateLock& operator=(const FileUpdateLock&) = delete;

    /// Why the lock could not be taken (the folder is missing or cannot be opened, or with
    /// LockWait::kTry another holder has it); empty while it is held.
    const std::error_code& error() const { return error_; }
    /// Another holder kept a LockWait::kTry from taking it.
    bool busy() const { return error_ == std::errc::resource_unavailable_try_again; }

private:
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::error_code error_;
};

}  // namespace tavero::store
