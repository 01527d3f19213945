// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>

#include "store/text/FileProblem.h"

namespace tavero::store {

namespace {

SaveResult failure(const std::filesystem::path& file, int error, bool damaged = false) {
    return {file, std::error_code(error, std::generic_category()), damaged};
}

/// 0, or the errno of the first failed write.
int writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return 0;
}

/// 0, or the errno of the first failed read.
int readAll(int fd, std::string& bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + filled, bytes.size() - filled, static_cast<off_t>(filled));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 ? EIO : errno;
        }
        filled += static_cast<std::size_t>(n);
    }
    return 0;
}

/// The file a save replaces: the target of a symbolic link, so that the link stays one.
std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target;
}

/// Folders refuse a new file with these; only they may lead to the in-place write.
bool folderRefusesNewFile(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

/// Writes `bytes` over the file's old ones, which go back when the new ones do not fit.
SaveResult writeInPlace(const std::filesystem::path& target, std::string_view bytes,
                        int folderError) {
    const int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? failure(target.parent_path(), folderError)
                               : failure(target, errno);
    }
    struct stat status {};
    std::string old;
    int error = ::fstat(fd, &status) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(status.st_mode)) {
        error = EINVAL;
    }
    // Without its whole old content in memory the file could not be restored.
    if (error == 0 && static_cast<std::uint64_t>(status.st_size) > text::kMaxTextFileBytes) {
        error = EFBIG;
    }
    if (error == 0) {
        old.resize(static_cast<std::size_t>(status.st_size));
        error = readAll(fd, old);
    }
    if (error != 0) {
        ::close(fd);
        return failure(target, error);
    }
    // Never shorter before the new bytes are all written: the old blocks stay allocated, so
    // the old bytes fit back even on a full disk.
    error = writeAll(fd, bytes, 0);
    if (error == 0 && bytes.size() < old.size() &&
        ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (error != 0) {
        const bool restored = writeAll(fd, old, 0) == 0 &&
                              ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
                              ::fsync(fd) == 0;
        ::close(fd);
        return failure(target, error, !restored);
    }
    return ::close(fd) == 0 ? SaveResult{} : failure(target, errno);
}

/// A new file beside `target`, with the target's permissions if it has any; -1 and errno set
/// when the folder refuses it.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    static std::atomic<unsigned> serial{0};
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    for (;;) {
        temporary = target;
        temporary += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd >= 0 && exists && ::fchmod(fd, status.st_mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            errno = error;
            return -1;
        }
        return fd;
    }
}

}  // namespace

SaveResult AtomicFileWriter::replaceFile(const std::filesystem::path& path,
                                         std::string_view bytes) {
    const std::filesystem::path target = resolved(path);
    std::filesystem::path temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        const int error = errno;
        return folderRefusesNewFile(error) ? writeInPlace(target, bytes, error)
                                           : failure(target.parent_path(), error);
    }
    int error = writeAll(fd, bytes, 0);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(target, error);
    }
    return {};
}

}  // namespace tavero::store
