// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavero::testing {

/// What a finished program left behind.
struct Finished {
    int exitStatus = -1;  ///< exit code, or 128 + signal number
    std::string out;
    std::string err;
};

/// Runs a program to its end and collects both output streams.
Finished runProgram(const std::vector<std::string>& argv);

/// A program running beside the test, its standard output read line by line.
class ChildProcess {
public:
    /// @param workingFolder where the program runs; empty for the test's own
    /// @param standardOutput the program's standard output instead of a pipe to readLine()
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::filesystem::path& workingFolder = {}, int standardOutput = -1);
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// The next line of standard output without its newline; nothing once the program closed
    /// it. Blocks until the line is there.
    std::optional<std::string> readLine();
    /// Sends `signal` and waits for the end; returns the exit status as runProgram does.
    int stop(int signal);
    /// Sends `signal` and goes on, as for SIGSTOP and SIGCONT.
    void signal(int signal) const;
    /// Closes the reading end of its standard output, as `| head -1` does after its line, and
    /// waits for the end; returns the exit status as runProgram does.
    int closeOutputAndWait();
    /// The most memory the program held at once, in KiB; known once it has stopped.
    long peakResidentKiB() const { return peakResidentKiB_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    long peakResidentKiB_ = 0;
};

}  // namespace tavero::testing
