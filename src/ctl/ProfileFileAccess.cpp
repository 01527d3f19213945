// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ProfileFileAccess.h"

#include <chrono>
#include <string>
#include <system_error>
#include <utility>

#include "ctl/LoadFailureText.h"
#include "ctl/StandardOutputRedirect.h"

namespace tavero::ctl {

namespace {

/// The window's message for a profile file it cannot read.
std::string cannotOpenText() {
    return "Datei \"" + std::string(store::kProfileFileName) + "\" konnte nicht geöffnet werden!";
}

}  // namespace

ProfileFileAccess::ProfileFileAccess(std::filesystem::path path, store::FileWriter& writer,
                                     std::ostream& errors, RunClock* clock)
    : path_(std::move(path)), writer_(writer), errors_(errors), clock_(clock) {}

bool ProfileFileAccess::makeFolders() {
    if (path_.empty()) {
        errors_ << "tavero-ctl: there is no per-user data folder for the profile file\n";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(path_.parent_path(), error);
    if (error) {
        errors_ << "tavero-ctl: cannot create the folder " << path_.parent_path().string() << ": "
                << error.message() << '\n';
        return false;
    }
    return true;
}

bool ProfileFileAccess::report(const store::ProfileAccess& access, std::size_t index) {
    using store::ProfileStep;
    lockBusy_ = access.step == ProfileStep::kLock &&
                access.lockError == std::errc::resource_unavailable_try_again;
    switch (access.step) {
        case ProfileStep::kLock:
            errors_ << "tavero-ctl: cannot lock the folder of " << path_.string() << ": "
                    << (lockBusy_ ? "another program is saving there" : access.lockError.message())
                    << '\n';
            return false;
        case ProfileStep::kCreate:
            errors_ << "tavero-ctl: cannot create " << access.saved.text() << '\n';
            return false;
        case ProfileStep::kRead:
            if (!access.read.ok()) {
                errors_ << cannotOpenText() << '\n';
            }
            errors_ << "tavero-ctl: " << store::accessProblemText(access, path_, index) << '\n';
            return false;
        case ProfileStep::kIndex:
            errors_ << "tavero-ctl: " << path_.string() << " now holds "
                    << access.read.profiles.size() << " profiles, none numbered " << index + 1
                    << '\n';
            return false;
        case ProfileStep::kSave:
            errors_ << "tavero-ctl: cannot save the profiles: " << access.saved.text() << '\n';
            return false;
        case ProfileStep::kDone:
            break;
    }
    if (access.read.extent.inPart && !std::exchange(warned_, true)) {
        errors_ << readInPartWarning(path_, access.read.extent, access.read.profiles.size(),
                                     {"profile", "profiles"})
                << "; a store keeps the file as it is now in "
                << store::BackupFileWriter::backupPath(path_).string() << '\n';
    }
    return true;
}

store::ProfileAccess ProfileFileAccess::whenLockFree(
    const std::function<store::ProfileAccess(store::LockWait)>& attempt) {
    // Polled rather than blocked in flock, which a caught interrupt would not end.
    constexpr std::chrono::milliseconds kPollInterval{50};
    bool told = false;
    for (;;) {
        const StandardOutputRedirect toErrors(errors_);
        store::ProfileAccess access = attempt(store::LockWait::kTry);
        const bool busy = access.step == store::ProfileStep::kLock &&
                          access.lockError == std::errc::resource_unavailable_try_again;
        if (!busy || clock_ == nullptr) {
            return access;
        }
        if (!std::exchange(told, true)) {
            errors_ << "tavero-ctl: waiting for another program that is saving in "
                    << path_.parent_path().string() << '\n';
        }
        if (!clock_->waitUntil(clock_->now() + kPollInterval)) {
            return access;
        }
    }
}

std::optional<std::vector<StoredProfile>> ProfileFileAccess::read() {
    if (!makeFolders()) {
        return std::nullopt;
    }
    store::ProfileAccess access = whenLockFree(
        [this](store::LockWait wait) { return store::readProfilesLocked(writer_, path_, wait); });
    if (!report(access, 0)) {
        return std::nullopt;
    }
    return std::move(access.read.profiles);
}

bool ProfileFileAccess::update(std::size_t index,
                               const std::function<void(StoredProfile&)>& change) {
    if (!makeFolders()) {
        return false;
    }
    const store::ProfileAccess access = whenLockFree([&](store::LockWait wait) {
        return store::updateProfileFile(writer_, path_, index, change, wait);
    });
    return report(access, index);
}

}  // namespace tavero::ctl
