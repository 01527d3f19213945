// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace tavero::link {

/// The trace the window keeps in its working folder.
inline constexpr const char* kDefaultTracePath = "out.txt";

/// The file every byte sent to the generator is appended to. It is opened for each frame
/// without blocking and taken only as a regular file, so that a FIFO or a device of its name
/// can never hold up an exchange. The first failure ends the trace for the rest of the run and
/// is reported once; the exchanges go on.
class TraceFile {
public:
    /// `kNotRegularFile`, or the system's error number.
    using ProblemReport = std::function<void(int error)>;
    /// What the report receives for a folder, FIFO, device or socket of the trace's name.
    static constexpr int kNotRegularFile = -1;

    /// @param path empty for no trace at all
    /// @param report told of the first failure; none leaves it unsaid, as the window does
    explicit TraceFile(std::filesystem::path path, ProblemReport report = {});

    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    void append(std::span<const std::uint8_t> bytes);

    const std::filesystem::path& path() const { return path_; }

private:
    /// Writes `bytes` whole; 0, kNotRegularFile or the error number.
    int write(std::span<const std::uint8_t> bytes) const;

    std::filesystem::path path_;
    ProblemReport report_;
    bool failed_ = false;
};

}  // namespace tavero::link
