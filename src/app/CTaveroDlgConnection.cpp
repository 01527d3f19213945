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
    switch (link::connectGenerator(port_, link_, commands_)) {
        case link::ConnectResult::kNoDevice:
            if (holderTeller_ && holderTeller_(host())) {
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
    commands_.ReadParameters(settings_, firmwareVersion_);
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
    // A flush sends nothing to the generator, and the next exchange flushes anyway; on a
    // device that has gone it fails at once.
    if (connected_ && !port_.Flush() && port_.deviceLost()) {
        reportLostGenerator();
    }
}

void CTaveroDlg::disconnect() {
    // The port is closed whatever the notice's outcome, so the window must not claim a
    // connection that can no longer carry a command.
    const link::DisconnectResult result = link::disconnectGenerator(port_, commands_);
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

void CTaveroDlg::reportLostGenerator() {
    if (lossReported_) {
        return;
    }
    lossReported_ = true;
    // No disconnect notice: nothing can carry it. The record and the profiles stay as they are.
    if (connected_) {
        showDisconnected();
        closePort();
    }
    // A dialog cannot go on without the generator; it closes once its handler returns.
    if (generatorDialog_ != nullptr && generatorDialog_->isOpen()) {
        generatorDialog_->end(res::kIdCancel);
    }
    host().messageBox(link::kConnectionLostText, link::kConnectionErrorCaption, ui::Icon::Error);
}

bool CTaveroDlg::confirmWhileConnected(std::string_view question, std::string_view caption) {
    const bool yes = host().messageBox(question, caption, ui::Icon::Warning, ui::Buttons::YesNo) ==
                     ui::Answer::Yes;
    return yes && connected_;
}

void CTaveroDlg::showAbout() {
    dialogs::CAboutDlg about(firmwareVersion_, connected_);
    host().runModal(about);
}

void CTaveroDlg::factoryReset() {
    if (!confirmWhileConnected(kFactoryResetQuestion, kFactoryResetCaption)) {
        return;
    }
    host().setWaitCursor(true);
    // Only a reset that happened replaced the record; otherwise its changes are still unsaved.
    if (commands_.SendFactoryReset()) {
        host().pause(kFactoryResetPauseMs);
        commands_.ReadParameters(settings_, firmwareVersion_);
        ShowSettings();
        settingsModified_ = false;
    }
    host().setWaitCursor(false);
}

void CTaveroDlg::startBootloader() {
    if (!confirmWhileConnected(kBootloaderQuestion, kBootloaderCaption)) {
        return;
    }
    if (!commands_.StartBootloader()) {
        return;
    }
    showDisconnected();
    closePort();
}

}  // namespace tavero::app
