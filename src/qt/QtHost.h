// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "res/ProgramTemplates.h"
#include "res/TemplateSet.h"
#include "ui/Host.h"

class QWidget;

namespace tavero::qt {

class QtWindow;

/// The window system on Qt Widgets. Needs a QApplication; sets the application name to
/// "Tavero", which names the per-user data folder.
///
///     QApplication app(argc, argv);
///     qt::QtHost host;
///     CTaveroDlg mainWindow(...);
///     host.runModal(mainWindow);
class QtHost final : public ui::Host {
public:
    /// The templates in the set must outlive the host.
    explicit QtHost(res::TemplateSet templates = res::programTemplates());

    /// -1 when the dialog has no template.
    int runModal(ui::Dialog& dialog) override;
    void setWaitCursor(bool on) override;
    /// Sleeps on the calling thread, as the program always has: no handler runs meanwhile, so
    /// no click can act halfway through a device sequence (a nested event loop would let
    /// timers and input in).
    void pause(int milliseconds) override;
    std::optional<std::filesystem::path> chooseFileToOpen(
        const ui::FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFileToSave(
        const ui::FileDialogRequest& request) override;
    /// Qt's AppDataLocation: ~/.local/share/Tavero on Linux, the roaming application-data
    /// folder's Tavero on Windows.
    std::filesystem::path dataFolder() override;
    /// Qt's DocumentsLocation when it exists, else the home folder.
    std::filesystem::path documentsFolder() override;
    ui::CreateDirectoryResult createDirectory(const std::filesystem::path& path) override;

    /// The dialog in front that has not ended, parent of message boxes, file dialogs and
    /// further dialogs.
    QWidget* frontWidget() const;

protected:
    ui::Answer showMessageBox(const ui::MessageBoxRequest& box) override;

private:
    res::TemplateSet templates_;
    std::vector<QtWindow*> openWindows_;
    bool waitCursor_ = false;
};

}  // namespace tavero::qt
