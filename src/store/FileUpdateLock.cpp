// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/FileUpdateLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace tavero::store {

namespace {

/// A folder this thread holds the lock on: a second flock through a descriptor of its own
/// would wait for the first.
struct HeldFolder {
    dev_t device;
    ino_t inode;
    int fd;
    int holders;
};

thread_local std::vector<HeldFolder> heldFolders;

std::vector<HeldFolder>::iterator findHeld(dev_t device, ino_t inode) {
    return std::find_if(heldFolders.begin(), heldFolders.end(), [&](const HeldFolder& held) {
        return held.device == device && held.inode == inode;
    });
}

}  // namespace

FileUpdateLock::FileUpdateLock(const std::filesystem::path& file, LockWait wait) {
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        error_ = std::error_code(errno, std::generic_category());
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    device_ = status.st_dev;
    inode_ = status.st_ino;
    if (const auto held = findHeld(device_, inode_); held != heldFolders.end()) {
        ++held->holders;
        ::close(fd);
        return;
    }
    const int operation = LOCK_EX | (wait == LockWait::kTry ? LOCK_NB : 0);
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            error_ = std::error_code(errno, std::generic_category());
            ::close(fd);
            return;
        }
    }
    heldFolders.push_back({device_, inode_, fd, 1});
}

FileUpdateLock::~FileUpdateLock() {
    if (error_) {
        return;
    }
    const auto held = findHeld(device_, inode_);
    if (--held->holders == 0) {
        // Closing ends the lock; nothing was written through this descriptor.
        ::close(held->fd);
        heldFolders.erase(held);
    }
}

}  // namespace tavero::store
