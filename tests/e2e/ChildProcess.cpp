// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <stdexcept>

namespace tavero::testing {

namespace {

/// Starts argv with its standard output (and error, if `err` is given) on pipes; with
/// `standardOutput` given, the output goes there and `out` is -1.
pid_t spawn(const std::vector<std::string>& argv, int& out, int* err,
            const std::filesystem::path& workingFolder = {}, int standardOutput = -1) {
    // The programs speak the desktop's language; the tests read German unless they name another
    // (env LANGUAGE=...). Set before the fork: the child must not touch the environment.
    ::setenv("LANGUAGE", "de", 1);
    int outPipe[2];
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || (err != nullptr && ::pipe2(errPipe, O_CLOEXEC) != 0)) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(standardOutput >= 0 ? standardOutput : outPipe[1], STDOUT_FILENO);
        if (err != nullptr) {
            ::dup2(errPipe[1], STDERR_FILENO);
        }
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
            ::_exit(126);
        }
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    out = outPipe[0];
    if (standardOutput >= 0) {
        ::close(out);
        out = -1;
    }
    if (err != nullptr) {
        ::close(errPipe[1]);
        *err = errPipe[0];
    }
    return pid;
}

int waitFor(pid_t pid, long* peakResidentKiB = nullptr) {
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
    }
    if (peakResidentKiB != nullptr) {
        *peakResidentKiB = usage.ru_maxrss;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

Finished runProgram(const std::vector<std::string>& argv) {
    int out = -1;
    int err = -1;
    const pid_t pid = spawn(argv, out, &err);
    Finished finished;
    std::array<pollfd, 2> fds = {{{out, POLLIN, 0}, {err, POLLIN, 0}}};
    std::array<std::string*, 2> sinks = {&finished.out, &finished.err};
    int open = 2;
    while (open > 0) {
        ::poll(fds.data(), fds.size(), -1);
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                std::array<char, 4096> chunk;
                const ssize_t n = ::read(fds[i].fd, chunk.data(), chunk.size());
                if (n > 0) {
                    sinks[i]->append(chunk.data(), static_cast<std::size_t>(n));
                } else {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    finished.exitStatus = waitFor(pid);
    return finished;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::filesystem::path& workingFolder, int standardOutput) {
    pid_ = spawn(argv, out_, nullptr, workingFolder, standardOutput);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        stop(SIGKILL);
    }
    if (out_ >= 0) {
        ::close(out_);
    }
}

std::optional<std::string> ChildProcess::readLine() {
    for (;;) {
        const std::size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return line;
        }
        std::array<char, 1024> chunk;
        const ssize_t n = ::read(out_, chunk.data(), chunk.size());
        if (n <= 0) {
            return std::nullopt;
        }
        pending_.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

int ChildProcess::closeOutputAndWait() {
    ::close(out_);
    out_ = -1;
    const int status = waitFor(pid_, &peakResidentKiB_);
    pid_ = -1;
    return status;
}

void ChildProcess::signal(int signal) const {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

int ChildProcess::stop(int signal) {
    // Never -1: kill(-1) would signal every process the user may.
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, signal);
    const int status = waitFor(pid_, &peakResidentKiB_);
    pid_ = -1;
    return status;
}

}  // namespace tavero::testing
