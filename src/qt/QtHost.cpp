// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtHost.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

#include "qt/QtFileDialog.h"
#include "qt/QtMessageBox.h"
#include "qt/QtText.h"
#include "qt/QtWindow.h"
#include "ui/Dialog.h"

namespace tavero::qt {

QtHost::QtHost(res::TemplateSet templates) : templates_(std::move(templates)) {
    QCoreApplication::setApplicationName(toQString(ui::kApplicationName));
}

int QtHost::runModal(ui::Dialog& dialog) {
    const res::DialogTemplate* dialogTemplate = templates_.find(dialog.templateId());
    if (dialogTemplate == nullptr) {
        qWarning("no template for dialog %d", dialog.templateId());
        return -1;
    }
    QtWindow window(*this, *dialogTemplate, dialog, frontWidget());
    openWindows_.push_back(&window);
    struct Closing {
        std::vector<QtWindow*>& windows;
        ~Closing() { windows.pop_back(); }
    } closing{openWindows_};
    window.open();
    return window.exec();
}

QWidget* QtHost::frontWidget() const {
    // A dialog ended from outside its handlers (its generator gone) is on its way out: shown
    // again under a message, it would leave the window behind it blocked for good, as Qt drops
    // its modality on the way out while it is visible.
    const auto front = std::find_if(openWindows_.rbegin(), openWindows_.rend(),
                                    [](const QtWindow* window) { return !window->ended(); });
    return front == openWindows_.rend() ? QApplication::activeWindow() : &(*front)->widget();
}

ui::Answer QtHost::showMessageBox(const ui::MessageBoxRequest& box) {
    QWidget* parent = frontWidget();
    // A message of a dialog's start-up stands over the dialog, shown first as its modal run
    // would show it, rather than alone on the screen.
    if (parent != nullptr && !parent->isVisible()) {
        parent->setWindowModality(Qt::ApplicationModal);
        parent->show();
    }
    return execMessageBox(parent, box);
}

void QtHost::setWaitCursor(bool on) {
    if (on && !waitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!on && waitCursor_) {
        QApplication::restoreOverrideCursor();
    }
    waitCursor_ = on;
}

void QtHost::pause(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(std::max(0, milliseconds)));
}

std::optional<std::filesystem::path> QtHost::chooseFileToOpen(
    const ui::FileDialogRequest& request) {
    return execFileDialog(frontWidget(), request, FileDialogMode::Open);
}

std::optional<std::filesystem::path> QtHost::chooseFileToSave(
    const ui::FileDialogRequest& request) {
    return execFileDialog(frontWidget(), request, FileDialogMode::Save);
}

std::filesystem::path QtHost::dataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The folder above the program's own always exists on Windows; on a fresh Linux account
    // ~/.local/share may not, and without it the program's folder could never be made.
    if (!folder.isEmpty()) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
    }
    return toPath(folder);
}

std::filesystem::path QtHost::documentsFolder() {
    // A folder the user did not ask for is never made.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return toPath(!documents.isEmpty() && QFileInfo(documents).isDir() ? documents
                                                                       : QDir::homePath());
}

ui::CreateDirectoryResult QtHost::createDirectory(const std::filesystem::path& path) {
    return ui::createDirectory(path);
}

}  // namespace tavero::qt
