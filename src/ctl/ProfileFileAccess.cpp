// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ProfileFileAccess.h"

#include <string>
#include <system_error>
#include <utility>

#include "ctl/LoadFailureText.h"
#include "ctl/StandardOutputRedirect.h"
#include "store/FileUpdateLock.h"
#include "store/ProfileFile.h"

namespace tavero::ctl {

namespace {

/// The window's message for a profile file it cannot read.
std::string cannotOpenText() {
    return "Datei \"" + std::string(store::kProfileFileName) + "\" konnte nicht geöffnet werden!";
}

std::string loadFailureDetail(const store::ProfileRead& read) {
    if (read.failure == store::ReadFailure::CountAboveLimit) {
        return "Anzahl announces more than " + std::to_string(store::kMaxProfileCount) +
               " profiles";
    }
    return loadFailureText(read.load);
}

}  // namespace

ProfileFileAccess::ProfileFileAccess(std::filesystem::path path, store::FileWriter& writer,
                                     std::ostream& errors)
    : path_(std::move(path)), writer_(writer), errors_(errors) {}

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

std::optional<std::vector<StoredProfile>> ProfileFileAccess::readLocked() {
    if (const store::SaveResult created = store::createProfileFileIfMissing(writer_, path_);
        !created) {
        errors_ << "tavero-ctl: cannot create " << created.text() << '\n';
        return std::nullopt;
    }
    store::ProfileRead read = [this] {
        const StandardOutputRedirect toErrors(errors_);
        return store::readProfileFile(path_);
    }();
    if (!read.ok()) {
        errors_ << cannotOpenText() << "\ntavero-ctl: " << path_.string() << ": "
                << loadFailureDetail(read) << '\n';
        return std::nullopt;
    }
    if (read.extent.list == store::ListElement::InDeclaration) {
        errors_ << "tavero-ctl: " << path_.string() << ": "
                << missingListText(read.extent.list, "Profillisten") << '\n';
        return std::nullopt;
    }
    if (read.extent.inPart) {
        if (!warned_) {
            errors_ << readInPartWarning(path_, read.extent, read.profiles.size(),
                                         {"profile", "profiles"})
                    << "; a store keeps the file as it is now in "
                    << store::BackupFileWriter::backupPath(path_).string() << '\n';
            warned_ = true;
        }
        writer_.keepBackupAtNextSave(path_);
    }
    return std::move(read.profiles);
}

std::optional<std::vector<StoredProfile>> ProfileFileAccess::read() {
    if (!makeFolders()) {
        return std::nullopt;
    }
    const store::FileUpdateLock lock(path_);
    if (lock.error()) {
        errors_ << "tavero-ctl: cannot lock the folder of " << path_.string() << ": "
                << lock.error().message() << '\n';
        return std::nullopt;
    }
    return readLocked();
}

bool ProfileFileAccess::update(std::size_t index,
                               const std::function<void(StoredProfile&)>& change) {
    if (!makeFolders()) {
        return false;
    }
    const store::FileUpdateLock lock(path_);
    if (lock.error()) {
        errors_ << "tavero-ctl: cannot lock the folder of " << path_.string() << ": "
                << lock.error().message() << '\n';
        return false;
    }
    std::optional<std::vector<StoredProfile>> profiles = readLocked();
    if (!profiles) {
        return false;
    }
    if (index >= profiles->size()) {
        errors_ << "tavero-ctl: " << path_.string() << " now holds " << profiles->size()
                << " profiles, none numbered " << index + 1 << '\n';
        return false;
    }
    change((*profiles)[index]);
    return write(*profiles);
}

bool ProfileFileAccess::write(std::span<const StoredProfile> profiles) {
    if (const store::SaveResult saved = store::writeProfileFile(writer_, path_, profiles); !saved) {
        errors_ << "tavero-ctl: cannot save the profiles: " << saved.text() << '\n';
        return false;
    }
    return true;
}

}  // namespace tavero::ctl
