// SPDX-License-Identifier: GPL-3.0-or-later
// The profile store as the main window uses it: start-up, load, store and the close prompt.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/CTaveroDlg.h"
#include "app/MainWindowTexts.h"
#include "res/MainWindowIds.h"
#include "store/FileUpdateLock.h"
#include "store/ProfileFile.h"
#include "store/ProfileRowText.h"
#include "store/text/Windows1252.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

constexpr std::string_view kCheckFolderFailed = "Unknown error in function CheckFolder() occurred!";
constexpr std::string_view kProfileFolder = "Profile";
constexpr std::string_view kCloseQuestion =
    "Es sind nicht gespeicherte Änderungen am Profil vorhanden, wollen Sie das Profil speichern?";

std::string quotedFileMessage(std::string_view verb) {
    return "Datei \"" + std::string(store::kProfileFileName) + "\" konnte nicht " +
           std::string(verb) + "!";
}

}  // namespace

void CTaveroDlg::startProfileStore() {
    dataFolder_ = host().dataFolder();
    if (!dataFolder_.empty()) {
        CheckFolder();
        const std::filesystem::path file = store::profileFilePath(dataFolder_);
        // A file that cannot be created is said by the read that follows.
        const store::FileUpdateLock lock(file);
        if (!lock.error()) {
            static_cast<void>(store::createProfileFileIfMissing(fileWriter_, file));
        }
    }
    ReadProfileFile();
    fillProfileList(0);
}

void CTaveroDlg::CheckFolder() {
    for (const std::filesystem::path& folder : {dataFolder_, dataFolder_ / kProfileFolder}) {
        if (host().createDirectory(folder) == ui::CreateDirectoryResult::Failed) {
            host().messageBox(kCheckFolderFailed, {}, ui::Icon::Warning);
        }
    }
}

void CTaveroDlg::ReadProfileFile() {
    // Without a data folder there is no file to read; that is said as for a missing file.
    store::ProfileRead read;
    if (!dataFolder_.empty()) {
        read = store::readProfileFile(store::profileFilePath(dataFolder_));
    }
    if (dataFolder_.empty() || !read.ok()) {
        host().messageBox(quotedFileMessage("geöffnet werden"), {}, ui::Icon::Warning);
        profiles_.clear();
        return;
    }
    profiles_ = std::move(read.profiles);
    if (read.extent.inPart) {
        fileWriter_.keepBackupAtNextSave(store::profileFilePath(dataFolder_));
    }
}

void CTaveroDlg::fillProfileList(int selectedRow) {
    window().deleteAllRows(res::kComboProfiles);
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        window().addRow(res::kComboProfiles, store::profileRowText(i, profiles_[i].name));
    }
    if (!profiles_.empty()) {
        window().selectRow(res::kComboProfiles, selectedRow);
    }
}

void CTaveroDlg::LoadProfile() {
    const int row = window().selectedRow(res::kComboProfiles);
    if (row == ui::kNoRow) {
        return;
    }
    const StoredProfile& profile = profiles_.at(static_cast<std::size_t>(row));
    model::Edit load = model::Edit::whole(profile.settings);
    load.restoreOnFailure = true;
    if (generator_.apply(load, requester())) {
        window().setText(res::kEditProfileName, profile.name);
        ShowSettings();
    }
    settingsModified_ = false;
    profileLoaded_ = true;
}

void CTaveroDlg::SaveProfile() {
    storeProfile();
}

bool CTaveroDlg::storeProfile() {
    const int row = window().selectedRow(res::kComboProfiles);
    if (row == ui::kNoRow) {
        return true;
    }
    const std::string typed = window().text(res::kEditProfileName);
    if (!storeNameAnyway(typed)) {
        return false;
    }
    // Shown as the file holds it, so that the window does not promise what the next start undoes.
    const std::string name =
        store::text::utf8FromWindows1252(store::text::windows1252FromUtf8(typed));
    WriteProfileFile(static_cast<std::size_t>(row), {settings(), name});
    window().setText(res::kEditProfileName, name);
    fillProfileList(row);
    settingsModified_ = false;
    profileLoaded_ = false;
    return true;
}

bool CTaveroDlg::storeNameAnyway(std::string_view name) {
    const std::vector<std::string> outside = store::text::charactersOutsideWindows1252(name);
    if (outside.empty()) {
        return true;
    }
    std::string listed;
    for (const std::string& character : outside) {
        listed += (listed.empty() ? "" : " ") + character;
    }
    std::string text(kUnstorableNameText);
    text.replace(text.find("%s"), 2, listed);
    return host().messageBox(text, kUnstorableNameCaption, ui::Icon::Warning, ui::Buttons::YesNo) ==
           ui::Answer::Yes;
}

void CTaveroDlg::WriteProfileFile(std::size_t row, const StoredProfile& stored) {
    profiles_.at(row) = stored;
    // A store that did not reach the disk must not pass for one that did.
    if (dataFolder_.empty()) {
        host().messageBox(quotedFileMessage("gespeichert werden"));
        return;
    }
    const std::filesystem::path file = store::profileFilePath(dataFolder_);
    // The reason follows on a line of its own: "No space left on device" asks for another
    // remedy than "Permission denied".
    const store::FileUpdateLock lock(file);
    if (lock.error()) {
        host().messageBox(quotedFileMessage("gespeichert werden") + "\n" +
                          file.parent_path().string() + ": " + lock.error().message());
        return;
    }
    store::ProfileRead read = store::readProfileFile(file);
    if (read.ok() && read.extent.list == store::ListElement::Found && row < read.profiles.size()) {
        if (read.extent.inPart) {
            fileWriter_.keepBackupAtNextSave(file);
        }
        profiles_ = std::move(read.profiles);
        profiles_[row] = stored;
    }
    if (const store::SaveResult saved = store::writeProfileFile(fileWriter_, file, profiles_);
        !saved) {
        host().messageBox(quotedFileMessage("gespeichert werden") + "\n" + saved.text());
    }
}

bool CTaveroDlg::offerToStoreProfile() {
    if (profileLoaded_ && settingsModified_ &&
        host().messageBox(kCloseQuestion, {}, ui::Icon::Question, ui::Buttons::YesNo) ==
            ui::Answer::Yes) {
        return storeProfile();
    }
    return true;
}

}  // namespace tavero::app
