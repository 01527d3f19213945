// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string_view>

#include "ui/Directory.h"
#include "ui/FileDialogRequest.h"
#include "ui/MessageBox.h"

namespace tavero::ui {

class Dialog;

/// The window system as a whole: what a dialog's logic needs beyond its own controls.
///
/// The logic reaches it through Dialog::host():
///
///     if (host().messageBox("Profil speichern?", "", Icon::Question, Buttons::YesNo) ==
///         Answer::Yes) ...
///     CWobbelDlg sweep(settings, port, link);
///     host().runModal(sweep);
///
/// Implementations: QtHost (the real window system) and HeadlessHost (tests).
class Host {
public:
    virtual ~Host() = default;

    /// Shows a modal message box and returns the button that closed it.
    /// A box with only an OK button asked for while another box is open (by a timer's tick
    /// meanwhile) waits until the open one closes and answers OK at once: boxes never pile up,
    /// and the user answers the question in front first.
    /// @param caption an empty caption shows the application's name
    Answer messageBox(std::string_view text, std::string_view caption = {}, Icon icon = Icon::None,
                      Buttons buttons = Buttons::Ok);

    /// Opens the dialog from its template, runs Dialog::onInit, and returns the result given
    /// to Window::endDialog once the dialog has ended. The dialog opened last is in front and
    /// takes all input until it ends.
    virtual int runModal(Dialog& dialog) = 0;

    /// Shows the busy pointer over every window of the program, or takes it back.
    virtual void setWaitCursor(bool on) = 0;

    /// Blocks the thread: no handler runs meanwhile.
    virtual void pause(int milliseconds) = 0;

    /// The full path of the file the user chose, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> chooseFileToOpen(
        const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> chooseFileToSave(
        const FileDialogRequest& request) = 0;

    /// The program's per-user data folder (its last part is "Tavero"), not created here.
    /// Empty when the system cannot name one.
    virtual std::filesystem::path dataFolder() = 0;
    /// Where file dialogs start: the user's documents folder when it exists, else the home
    /// folder. Nothing is created.
    virtual std::filesystem::path documentsFolder() = 0;

    virtual CreateDirectoryResult createDirectory(const std::filesystem::path& path) = 0;

protected:
    virtual Answer showMessageBox(const MessageBoxRequest& box) = 0;

private:
    Answer showCounted(const MessageBoxRequest& box);

    int boxesOpen_ = 0;
    std::deque<MessageBoxRequest> waitingNotices_;
};

}  // namespace tavero::ui
