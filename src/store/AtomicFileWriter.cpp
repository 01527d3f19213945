// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

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

/// The name a new file takes beside `target` before it is renamed over it. A save killed
/// between the two leaves it behind; removeLeftovers() finds it by the process id.
std::filesystem::path temporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned> serial{0};
    std::filesystem::path temporary = target;
    temporary += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    return temporary;
}

/// Removes the temporary files that saves of `target` by processes that no longer live left
/// behind.
void removeLeftovers(const std::filesystem::path& target) {
    const std::string prefix = target.filename().string() + ".new-";
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        pid_t pid = 0;
        const auto [afterPid, parsed] =
            std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (parsed != std::errc{} || pid <= 0 || afterPid == rest.data() + rest.size() ||
            *afterPid != '-') {
            continue;
        }
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
            ::unlink(entry->path().c_str());
        }
    }
}

/// The file being written: without a name until it is complete where the system allows.
struct Temporary {
    int fd = -1;
    int error = 0;               ///< the errno when fd is -1
    std::filesystem::path path;  ///< empty while it has no name
};

/// A new file in the folder of `target`.
Temporary createTemporary(const std::filesystem::path& target) {
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    // A file without a name cannot be left behind; it is named through /proc when complete.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || folderRefusesNewFile(errno) || errno == ENOENT) {
            return {fd, fd < 0 ? errno : 0, {}};
        }
    }
    for (;;) {
        std::filesystem::path temporary = temporaryName(target);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return {fd, errno, {}};
        }
        return {fd, 0, std::move(temporary)};
    }
}

/// Gives the unnamed file a name beside `target`: 0 or the errno.
int nameTemporary(Temporary& temporary, const std::filesystem::path& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd);
    for (;;) {
        std::filesystem::path name = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.path = std::move(name);
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
}

constexpr const char* kAccessAcl = "system.posix_acl_access";

/// Gives the new file the owner, group, mode and ACL of `model`, whose status is `old`: 0, or
/// the errno of what could not be given (EPERM for another user's file when not run as root).
/// Without `needOwner` a copy that may not be given away stays this process's.
int takeOverAttributes(int fd, const std::filesystem::path& model, const struct stat& old,
                       bool needOwner) {
    struct stat own {};
    if (::fstat(fd, &own) != 0) {
        return errno;
    }
    if ((own.st_uid != old.st_uid || own.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0 && (needOwner || errno != EPERM)) {
        return errno;
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        return errno;
    }
    std::vector<char> acl(256);
    ssize_t size = ::getxattr(model.c_str(), kAccessAcl, acl.data(), acl.size());
    if (size < 0 && errno == ERANGE) {
        size = ::getxattr(model.c_str(), kAccessAcl, nullptr, 0);
        acl.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        size = ::getxattr(model.c_str(), kAccessAcl, acl.data(), acl.size());
    }
    if (size < 0) {
        return errno == ENODATA || errno == ENOTSUP ? 0 : errno;
    }
    return ::fsetxattr(fd, kAccessAcl, acl.data(), static_cast<std::size_t>(size), 0) == 0 ? 0
                                                                                           : errno;
}

/// Replaces the file at `path`, the new one taking the attributes of `model`, the target itself
/// when empty.
SaveResult replace(const std::filesystem::path& path, std::string_view bytes,
                   const std::filesystem::path& model) {
    const std::filesystem::path target = resolved(path);
    const std::filesystem::path attributesFrom = model.empty() ? target : model;
    removeLeftovers(target);
    struct stat old {};
    const bool exists = ::stat(attributesFrom.c_str(), &old) == 0;
    Temporary temporary = createTemporary(target);
    if (temporary.fd < 0) {
        return folderRefusesNewFile(temporary.error)
                   ? writeInPlace(target, bytes, temporary.error)
                   : failure(target.parent_path(), temporary.error);
    }
    if (exists) {
        if (const int error =
                takeOverAttributes(temporary.fd, attributesFrom, old, attributesFrom == target);
            error != 0) {
            ::close(temporary.fd);
            if (!temporary.path.empty()) {
                ::unlink(temporary.path.c_str());
            }
            // Only the file itself keeps what this process may not give a new one.
            return error == EPERM ? writeInPlace(target, bytes, error) : failure(target, error);
        }
    }
    int error = writeAll(temporary.fd, bytes, 0);
    if (error == 0 && ::fsync(temporary.fd) != 0) {
        error = errno;
    }
    if (error == 0 && temporary.path.empty()) {
        error = nameTemporary(temporary, target);
    }
    if (::close(temporary.fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.path.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        if (!temporary.path.empty()) {
            ::unlink(temporary.path.c_str());
        }
        return failure(target, error);
    }
    return {};
}

}  // namespace

SaveResult AtomicFileWriter::replaceFile(const std::filesystem::path& path,
                                         std::string_view bytes) {
    return replace(path, bytes, {});
}

SaveResult AtomicFileWriter::replaceFileLike(const std::filesystem::path& path,
                                             std::string_view bytes,
                                             const std::filesystem::path& model) {
    return replace(path, bytes, model);
}

}  // namespace tavero::store
