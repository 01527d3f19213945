// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/TraceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tavero::link {

TraceFile::TraceFile(std::filesystem::path path, ProblemReport report)
    : path_(std::move(path)), report_(std::move(report)) {}

void TraceFile::append(std::span<const std::uint8_t> bytes) {
    if (path_.empty() || failed_) {
        return;
    }
    const int error = write(bytes);
    if (error != 0) {
        failed_ = true;
        if (report_) {
            report_(error);
        }
    }
}

int TraceFile::write(std::span<const std::uint8_t> bytes) const {
    // Looked at before the open as well: opening a FIFO without a reader would fail with a
    // reason ("No such device or address") that says nothing about the file.
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        return kNotRegularFile;
    }
    // Non-blocking, so that a FIFO put there since returns at once; fstat then refuses it.
    const int file = ::open(
        path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (file < 0) {
        return errno;
    }
    int error = 0;
    if (::fstat(file, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error = kNotRegularFile;
    }
    std::size_t written = 0;
    while (error == 0 && written < bytes.size()) {
        const ssize_t n = ::write(file, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR) {
            error = errno;
        } else if (n > 0) {
            written += static_cast<std::size_t>(n);
        }
    }
    if (::close(file) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace tavero::link
