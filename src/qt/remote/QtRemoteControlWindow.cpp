// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/QtRemoteControlWindow.h"

#include <QHostAddress>
#include <QMessageBox>

#include "qt/QtHost.h"
#include "qt/QtText.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/remote/RemoteControlDialog.h"
#include "qt/remote/RemoteControlTexts.h"
#include "qt/remote/WindowRemoteServices.h"

namespace tavero::qt {

namespace {

QString translated(const char* german) {
    return translatedText(german);
}

}  // namespace

int QtRemoteControlWindow::startAtLaunch(const std::optional<RemoteOptions>& serve) {
    if (serve) {
        return services_.start(*serve) ? 0 : services_.startStatus();
    }
    if (const RemoteControlSettings remembered = loadRemoteControl(store_); remembered.anyOn()) {
        services_.start(remoteOptions(remembered));
    }
    return 0;
}

void QtRemoteControlWindow::run() {
    QWidget* parent = host_.frontWidget();
    RemoteControlSettings settings = loadRemoteControl(store_);
    for (;;) {
        RemoteControlDialog dialog(settings, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        settings = dialog.settings();
        const QString title = translated(texts::kRemoteTitle);
        if (QHostAddress(settings.host).isNull()) {
            QMessageBox::warning(parent, title, translated(texts::kRemoteInvalidAddress));
            continue;
        }
        if (!settings.anyOn()) {
            services_.stop();
        } else if (!services_.start(remoteOptions(settings))) {
            QMessageBox::warning(
                parent, title,
                translated(texts::kRemoteStartFailed).arg(toQString(services_.startReport())));
            continue;
        }
        // What the start said beside serving: VXI-11 that clients will not find, say.
        if (settings.anyOn() && !services_.startReport().empty()) {
            QMessageBox::information(parent, title, toQString(services_.startReport()));
        }
        if (!storeRemoteControl(settings, store_)) {
            QMessageBox::warning(parent, title, translated(texts::kRemoteNotStored));
        }
        return;
    }
}

}  // namespace tavero::qt
