// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/FileUpdateLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tavero::store {

FileUpdateLock::FileUpdateLock(const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = std::error_code(errno, std::generic_category());
        return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error_ = std::error_code(errno, std::generic_category());
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

FileUpdateLock::~FileUpdateLock() {
    // Closing ends the lock; nothing was written through this descriptor.
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace tavero::store
