// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/StoredProfile.h"
#include "core/TaskEntry.h"
#include "dialogs/GeneratorDialog.h"
#include "store/BackupFileWriter.h"
#include "store/FileWriter.h"

namespace tavero::dialogs {

/// The task list: a sequence of copies of stored profiles, each held for a number of seconds.
/// "Start" sends the first entry's whole settings (`p`); a one-second timer counts its time down
/// and sends the next entry when it has run out, to the end of the list or, with "Schleife"
/// ticked, round again. Lists are saved to and loaded from task list files.
///
/// Each entry is played through the model as the task list's change, so every view shows it.
class CAufgabenlisteDlg final : public GeneratorDialog {
public:
    /// The main window's stored profiles, the model and the saver of files; all must outlive
    /// the dialog.
    CAufgabenlisteDlg(const std::vector<StoredProfile>& profiles, model::GeneratorModel& generator,
                      store::FileWriter& fileWriter);

    int templateId() const override;
    void onInit() override;
    void onCommand(int id) override;
    /// Enter in the duration field adds an entry, also during a run; elsewhere it does nothing.
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Schließen", Escape and the close box: stops a run and closes.
    void onCancel() override;
    void onTimer(int timerId) override;
    void onScroll(int id, ui::ScrollCode code, int position) override;

private:
    void addEntry();
    void removeSelectedEntry();
    void reset();
    void start();
    void stop();
    /// "Speichern": the list and "Schleife" into a file the user chooses.
    void SaveTaskList();
    /// "Laden": replaces the list and "Schleife" by a file's; a file that cannot be read leaves
    /// the list empty.
    void LoadTaskList();

    /// Sends the entry at `current_` (`p`); false after its failure message.
    bool sendCurrent();
    /// Shows the entry at `current_` as the one being played, with its whole hold time.
    void showCurrent();
    void rebuildEntryList();

    const std::vector<StoredProfile>& profiles_;
    store::BackupFileWriter fileWriter_;

    std::vector<TaskEntry> entries_;     ///< in playing order
    std::int32_t entryCounter_ = 0;      ///< the last `elementNr` handed out
    std::size_t current_ = 0;            ///< the entry being played
    std::int32_t remainingSeconds_ = 0;  ///< of the entry being played
    bool running_ = false;
    std::filesystem::path documentsFolder_;  ///< where both file dialogs start
};

}  // namespace tavero::dialogs
