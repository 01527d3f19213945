// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ProfileFileUpdate.h"

#include <string>
#include <utility>

namespace tavero::store {

namespace {

ProfileAccess lockFailure(const FileUpdateLock& lock) {
    ProfileAccess access;
    access.step = ProfileStep::kLock;
    access.lockError = lock.error();
    return access;
}

/// With the lock held.
ProfileAccess readHeld(BackupFileWriter& writer, const std::filesystem::path& file) {
    ProfileAccess access;
    if (SaveResult created = createProfileFileIfMissing(writer, file); !created) {
        access.step = ProfileStep::kCreate;
        access.saved = std::move(created);
        return access;
    }
    access.read = readProfileFile(file);
    if (!access.read.ok() || access.read.extent.list == ListElement::InDeclaration) {
        access.step = ProfileStep::kRead;
        return access;
    }
    if (access.read.extent.inPart) {
        writer.keepBackupAtNextSave(file);
    }
    return access;
}

}  // namespace

ProfileAccess readProfilesLocked(BackupFileWriter& writer, const std::filesystem::path& file,
                                 LockWait wait) {
    const FileUpdateLock lock(file, wait);
    if (lock.error()) {
        return lockFailure(lock);
    }
    return readHeld(writer, file);
}

ProfileAccess updateProfileFile(BackupFileWriter& writer, const std::filesystem::path& file,
                                std::size_t index,
                                const std::function<void(StoredProfile&)>& change, LockWait wait) {
    const FileUpdateLock lock(file, wait);
    if (lock.error()) {
        return lockFailure(lock);
    }
    ProfileAccess access = readHeld(writer, file);
    if (!access.ok()) {
        return access;
    }
    if (index >= access.read.profiles.size()) {
        access.step = ProfileStep::kIndex;
        return access;
    }
    change(access.read.profiles[index]);
    access.saved = writeProfileFile(writer, file, access.read.profiles);
    if (!access.saved) {
        access.step = ProfileStep::kSave;
    }
    return access;
}

std::string accessProblemText(const ProfileAccess& access, const std::filesystem::path& file,
                              std::size_t index) {
    switch (access.step) {
        case ProfileStep::kLock:
            return file.parent_path().string() + ": " + access.lockError.message();
        case ProfileStep::kRead:
            return file.string() + ": " + readProblemText(access.read);
        case ProfileStep::kIndex:
            return file.string() + ": " + std::to_string(access.read.profiles.size()) +
                   " profiles, none numbered " + std::to_string(index + 1);
        case ProfileStep::kCreate:
        case ProfileStep::kSave:
        case ProfileStep::kDone:
            break;
    }
    return access.saved.text();
}

}  // namespace tavero::store
