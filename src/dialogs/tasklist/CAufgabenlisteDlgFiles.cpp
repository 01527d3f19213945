// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "dialogs/tasklist/CAufgabenlisteDlg.h"
#include "dialogs/tasklist/TaskListButtons.h"
#include "res/AufgabenlisteTemplate.h"
#include "store/FileUpdateLock.h"
#include "store/TaskListFile.h"
#include "ui/FileDialogRequest.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::aufgabenliste;

constexpr std::string_view kFilter = "Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|";
constexpr std::string_view kExtension = "tvr";

constexpr std::string_view kNotWritten =
    "Zieldatei kann nicht erzeugt werden!\nÜberprüfen Sie die Schreibrechte.";
constexpr std::string_view kNotWrittenCaption = "Fehler beim Schreiben";
constexpr std::string_view kNotRead = "Die Aufgabenliste könnte nicht gelesen werden.";
constexpr std::string_view kNotReadCaption = "Fehler beim Lesen";

ui::FileDialogRequest fileRequest(std::string_view title, const std::filesystem::path& folder,
                                  bool confirmOverwrite) {
    return {
        .title = std::string(title),
        .filter = std::string(kFilter),
        .selectedFilter = 0,
        .defaultExtension = std::string(kExtension),
        .initialFolder = folder,
        .confirmOverwrite = confirmOverwrite,
    };
}

}  // namespace

void CAufgabenlisteDlg::SaveTaskList() {
    const auto path =
        host().chooseFileToSave(fileRequest("Speichern unter", documentsFolder_, true));
    if (!path) {
        return;
    }
    const store::TaskList list{entries_, window().isChecked(ids::kLoopCheck)};
    // The backup of a file read in part and the save are one step for other writers; the lock
    // is gone before a message box waits for the user.
    const store::SaveResult saved = [&] {
        const store::FileUpdateLock lock(*path);
        return lock.error() ? store::SaveResult(path->parent_path(), lock.error())
                            : store::writeTaskListFile(fileWriter_, *path, list);
    }();
    if (!saved) {
        host().messageBox(std::string(kNotWritten) + "\n\n" + saved.text(), kNotWrittenCaption,
                          ui::Icon::Information);
    }
}

void CAufgabenlisteDlg::LoadTaskList() {
    const auto path =
        host().chooseFileToOpen(fileRequest("Aufgabenliste laden", documentsFolder_, false));
    if (!path) {
        return;
    }
    // The old list goes before the file is read: a file that cannot be read leaves none.
    reset();
    store::TaskListRead read = store::readTaskListFile(*path);
    if (!read.ok()) {
        host().messageBox(kNotRead, kNotReadCaption, ui::Icon::Information);
        return;
    }
    if (read.extent.inPart) {
        fileWriter_.keepBackupAtNextSave(*path);
    }
    window().setChecked(ids::kLoopCheck, read.list.loop);
    entries_ = std::move(read.list.entries);
    entryCounter_ = entries_.empty() ? 0 : entries_.back().elementNr;
    rebuildEntryList();
    if (!entries_.empty()) {
        applyButtons(window(), ButtonSituation::Ready);
    }
}

}  // namespace tavero::dialogs
