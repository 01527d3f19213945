// SPDX-License-Identifier: GPL-3.0-or-later
// Connection and device maintenance of the main window.
#include "app/CTaveroDlg.h"
#include "app/MainWindowTexts.h"
#include "dialogs/GeneratorDialog.h"
#include "dialogs/about/CAboutDlg.h"
#include "link/Connection.h"
#include "res/MainWindowIds.h"
#include "res/Picture.h"
#include "res/StandardIds.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

constexpr int kFactoryResetPauseMs = 1000;
/// How often an idle connection looks whether the generator is still there, in ms: a pulled
/// cable is shown within a second, not at the next click.
constexpr int kWatchPeriodMs = 250;

}  // namespace

void CTaveroDlg::ToggleConnection() {
    if (connected_) {
        disconnect();
    } else {
        connect();
    }
}

void CTaveroDlg::connect() {
    lossReported_ = false;
    switch (generator_.connect(requester())) {
        case link::ConnectResult::kNoDevice:
            if (heldNotice_ && heldNotice_(host())) {
                return;
            }
            host().messageBox(link::kConnectFailedText, link::kConnectionErrorCaption,
                              ui::Icon::Information);
            return;
        case link::ConnectResult::kHandshakeFailed:
            return;
        case link::ConnectResult::kConnected:
            break;
    }
    connected_ = true;
    window().setPicture(res::kPictureUsb, res::Picture::usbIndicator(true));
    generator_.readParameters(requester());
    if (!connected_) {
        return;  // the generator vanished during the read
    }
    ShowSettings();
    window().setText(res::kButtonConnection, kDisconnectButtonText);
    enableConnectionControls(true);
    settingsModified_ = false;
    // Also under a question of the window's own: its answer must not go to a vanished generator.
    window().startTimer(kWatchTimer, kWatchPeriodMs, ui::TickDelivery::DuringHandlers);
}

void CTaveroDlg::watchGenerator() {
    generator_.watch();
    if (generator_.lost()) {
        reportLostGenerator();
    }
}

void CTaveroDlg::disconnect() {
    // The port is closed whatever the notice's outcome, so the window must not claim a
    // connection that can no longer carry a command.
    const link::DisconnectResult result = generator_.disconnect(requester());
    showDisconnected();
    if (!result.closed) {
        host().messageBox(link::kCloseFailedText);
    }
}

void CTaveroDlg::showDisconnected() {
    connected_ = false;
    window().stopTimer(kWatchTimer);
    window().setPicture(res::kPictureUsb, res::Picture::usbIndicator(false));
    window().setText(res::kButtonConnection, kConnectButtonText);
    enableConnectionControls(false);
}

void CTaveroDlg::showLostGenerator() {
    // The model closed the port without a notice: nothing can carry it. The record and the
    // profiles stay as they are.
    if (connected_) {
        showDisconnected();
    }
    // A dialog cannot go on without the generator; it closes once its handler returns.
    if (generatorDialog_ != nullptr && generatorDialog_->isOpen()) {
        generatorDialog_->end(res::kIdCancel);
    }
}

void CTaveroDlg::reportLostGenerator() {
    window().stopTimer(kLossTimer);
    if (lossReported_) {
        return;
    }
    lossReported_ = true;
    showLostGenerator();
    host().messageBox(link::kConnectionLostText, link::kConnectionErrorCaption, ui::Icon::Error);
}

bool CTaveroDlg::confirmWhileConnected(std::string_view question, std::string_view caption) {
    const bool yes = host().messageBox(question, caption, ui::Icon::Warning, ui::Buttons::YesNo) ==
                     ui::Answer::Yes;
    return yes && connected_;
}

void CTaveroDlg::showAbout() {
    dialogs::CAboutDlg about(generator_.firmwareVersion(), connected_);
    host().runModal(about);
}

void CTaveroDlg::factoryReset() {
    if (!confirmWhileConnected(kFactoryResetQuestion, kFactoryResetCaption)) {
        return;
    }
    host().setWaitCursor(true);
    // Only a reset that happened replaced the record; otherwise its changes are still unsaved.
    if (generator_.sendFactoryReset(requester())) {
        host().pause(kFactoryResetPauseMs);
        generator_.readParameters(requester());
        ShowSettings();
        settingsModified_ = false;
    }
    host().setWaitCursor(false);
}

void CTaveroDlg::startBootloader() {
    if (!confirmWhileConnected(kBootloaderQuestion, kBootloaderCaption)) {
        return;
    }
    if (!generator_.startBootloader(requester())) {
        return;
    }
    showDisconnected();
    closePort();
}

}  // namespace tavero::app
