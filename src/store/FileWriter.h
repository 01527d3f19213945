// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace tavero::store {

/// How a save ended: true on success; otherwise the file it failed on (the target, its folder or
/// its backup) and the system's reason.
class SaveResult {
public:
    SaveResult() = default;
    /// @param damaged the file in place holds neither its old nor its new bytes
    SaveResult(std::filesystem::path file, std::error_code reason, bool damaged = false)
        : file_(std::move(file)), reason_(reason), damaged_(damaged) {}

    explicit operator bool() const { return !reason_; }
    const std::filesystem::path& file() const { return file_; }
    const std::error_code& reason() const { return reason_; }
    bool damaged() const { return damaged_; }
    /// "PATH: No space left on device"; empty on success.
    std::string text() const {
        if (!reason_) {
            return {};
        }
        return file_.string() + ": " + reason_.message() +
               (damaged_ ? "; its old content could not be written back" : "");
    }

private:
    std::filesystem::path file_;
    std::error_code reason_;
    bool damaged_ = false;
};

/// Saves whole files so that an interrupted save never leaves a broken one.
class FileWriter {
public:
    virtual ~FileWriter() = default;

    /// Replaces the file at `path` with `bytes`, creating it if missing. Whatever interrupts the
    /// save (a crash, a full disk), the file afterwards holds either its old content or all of
    /// `bytes`; a writer may trade that for an in-place write only where the folder refuses a new
    /// file but the file itself is writable.
    virtual SaveResult replaceFile(const std::filesystem::path& path, std::string_view bytes) = 0;

    /// As replaceFile(), the file taking the owner, group, mode and ACL of the file `model`
    /// where the writer keeps them, so that a copy is no more open to others than its original.
    virtual SaveResult replaceFileLike(const std::filesystem::path& path, std::string_view bytes,
                                       const std::filesystem::path& model) {
        static_cast<void>(model);
        return replaceFile(path, bytes);
    }
};

}  // namespace tavero::store
