// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "HeadlessPrinters.h"
#include "HeadlessWindow.h"
#include "res/ProgramTemplates.h"
#include "res/TemplateSet.h"
#include "ui/Host.h"

namespace tavero::headless {

/// The window system in memory, for tests. Dialogs open from the same templates as in the
/// program; message boxes and file dialogs are answered from scripts and recorded; time is a
/// fake clock that only the test (and pause) moves.
///
///     HeadlessHost host;
///     host.setDataFolder(tempDir);
///     CTaveroDlg main(...);
///     HeadlessWindow& w = host.open(main);           // onInit has run
///     host.answer(ui::Answer::Yes);                  // for the next message box
///     host.scriptModal(169, [](HeadlessWindow& sweep) { sweep.click(res::kIdCancel); });
///     w.click(1040);                                 // opens dialog 169 and runs its script
///     EXPECT_EQ(host.messageBoxes().at(0).box.caption, "Verbindungsfehler");
///
/// A message box with only an OK button is acknowledged by itself (and recorded). A question
/// or file dialog without a scripted answer, a modal dialog without a script,
/// or a script that leaves its dialog open throws HeadlessError. Answers still queued when the
/// host is destroyed fail the running test.
class HeadlessHost final : public ui::Host {
public:
    using ModalScript = std::function<void(HeadlessWindow&)>;

    struct MessageBoxRecord {
        ui::MessageBoxRequest box;
        ui::Answer answer;
    };
    enum class FileDialogKind { Open, Save };
    struct FileDialogRecord {
        FileDialogKind kind;
        ui::FileDialogRequest request;
        std::optional<std::filesystem::path> choice;
    };
    struct ModalRun {
        int templateId;
        int result;
    };

    /// The templates in the set must outlive the host.
    explicit HeadlessHost(const res::TemplateSet& templates = res::programTemplates());
    ~HeadlessHost() override;

    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // Dialogs

    /// Opens the dialog without waiting for its end: builds the window from the dialog's
    /// template, runs onInit and returns the window for the test to drive. The window (and
    /// what it shows) stays readable until the host goes.
    HeadlessWindow& open(ui::Dialog& dialog);
    /// The script that runs every later modal run of this template (replacing an earlier one).
    /// It gets the open window after onInit and must end the dialog.
    void scriptModal(int templateId, ModalScript script);
    /// The modal runs so far, in the order they ended.
    const std::vector<ModalRun>& modalRuns() const { return modalRuns_; }

    // Message boxes

    /// Queues the answer of the next message box that has no answer yet.
    void answer(ui::Answer answer) { answers_.push_back(answer); }
    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    /// Runs while each later message box is shown, e.g. to see what the program holds
    /// meanwhile.
    void whileMessageBoxShown(std::function<void()> observer) {
        boxObserver_ = std::move(observer);
    }

    // File dialogs

    /// Queues the outcome of the next file dialog: a path, or nothing for a cancel.
    void chooseFile(std::optional<std::filesystem::path> choice);
    const std::vector<FileDialogRecord>& fileDialogs() const { return fileDialogs_; }

    // Time

    /// The fake clock, in ms since the host was made.
    std::int64_t nowMs() const { return nowMs_; }
    /// Moves the clock on, firing every timer tick that falls due, in time order (ties in the
    /// order the windows opened, then by timer id).
    void advance(std::int64_t milliseconds);
    /// Every pause so far, in ms. A pause moves the clock without firing timers.
    const std::vector<int>& pauses() const { return pauses_; }

    // Wait cursor

    bool waitCursor() const { return waitCursor_; }
    /// Every change, in order (true: shown).
    const std::vector<bool>& waitCursorChanges() const { return waitCursorChanges_; }

    // Folders

    void setDataFolder(std::filesystem::path folder) { dataFolder_ = std::move(folder); }
    void setDocumentsFolder(std::filesystem::path folder) { documentsFolder_ = std::move(folder); }
    /// createDirectory(path) reports `result` without touching the disk.
    void failCreateDirectory(const std::filesystem::path& path, ui::CreateDirectoryResult result);

    // ui::Host
    int runModal(ui::Dialog& dialog) override;
    void setWaitCursor(bool on) override;
    void pause(int milliseconds) override;
    std::optional<std::filesystem::path> chooseFileToOpen(
        const ui::FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFileToSave(
        const ui::FileDialogRequest& request) override;
    std::filesystem::path dataFolder() override;
    std::filesystem::path documentsFolder() override;
    ui::CreateDirectoryResult createDirectory(const std::filesystem::path& path) override;

protected:
    ui::Answer showMessageBox(const ui::MessageBoxRequest& box) override;

private:
    friend class HeadlessWindow;

    /// Whether `window` is the open window the user can reach.
    bool isInFront(const HeadlessWindow& window) const;
    std::optional<std::filesystem::path> fileDialog(FileDialogKind kind,
                                                    const ui::FileDialogRequest& request);

    res::TemplateSet templates_;
    std::vector<std::unique_ptr<HeadlessWindow>> windows_;
    std::map<int, ModalScript> scripts_;
    std::vector<ModalRun> modalRuns_;
    std::deque<ui::Answer> answers_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::function<void()> boxObserver_;
    std::deque<std::optional<std::filesystem::path>> fileChoices_;
    std::vector<FileDialogRecord> fileDialogs_;
    std::int64_t nowMs_ = 0;
    std::vector<int> pauses_;
    bool waitCursor_ = false;
    std::vector<bool> waitCursorChanges_;
    std::optional<std::filesystem::path> dataFolder_;
    std::optional<std::filesystem::path> documentsFolder_;
    std::map<std::filesystem::path, ui::CreateDirectoryResult> directoryFailures_;
};

}  // namespace tavero::headless
