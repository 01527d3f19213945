// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/text/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>

#include "store/text/Utf16.h"

namespace tavero::store::text {

namespace {

FileProblem problemOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FileProblem::Missing;
        case EACCES:
        case EPERM:
            return FileProblem::PermissionDenied;
        case EISDIR:
            return FileProblem::Directory;
        default:
            return FileProblem::Unreadable;
    }
}

/// Closes the descriptor when the read is over, however it ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string_view fileProblemText(FileProblem problem) {
    static constexpr std::array<std::string_view, 7> kTexts = {
        "",
        "no such file",
        "is a directory",
        "is not a regular file",
        "is larger than 64 MiB",
        "permission denied",
        "cannot be read",
    };
    return kTexts[static_cast<std::size_t>(problem)];
}

std::string textFromFileBytes(std::string_view bytes, bool* charactersLost) {
    if (const auto order = detectUtf16(bytes)) {
        return windows1252FromUtf16(bytes, *order, charactersLost);
    }
    return std::string(bytes);
}

FileBytes readFileBytes(const std::filesystem::path& path) {
    // Non-blocking, so that opening a FIFO returns at once; fstat then refuses it.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return {{}, problemOfErrno(errno)};
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return {{}, problemOfErrno(errno)};
    }
    if (S_ISDIR(status.st_mode)) {
        return {{}, FileProblem::Directory};
    }
    if (!S_ISREG(status.st_mode)) {
        return {{}, FileProblem::NotRegular};
    }
    if (static_cast<std::uint64_t>(status.st_size) > kMaxTextFileBytes) {
        return {{}, FileProblem::TooLarge};
    }
    FileBytes read;
    read.bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t filled = 0;
    // A file that grows while it is read is cut at the size it had when it was opened.
    while (filled < read.bytes.size()) {
        const ssize_t n =
            ::read(file.get(), read.bytes.data() + filled, read.bytes.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return {{}, problemOfErrno(errno)};
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    read.bytes.resize(filled);
    return read;
}

FileBytes readTextFile(const std::filesystem::path& path) {
    FileBytes read = readFileBytes(path);
    if (read.problem == FileProblem::None) {
        read.bytes = textFromFileBytes(read.bytes, &read.charactersLost);
    }
    return read;
}

}  // namespace tavero::store::text
