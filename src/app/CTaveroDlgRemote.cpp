// SPDX-License-Identifier: GPL-3.0-or-later
// What the other front ends do to the generator, as the main window shows it.
#include <string>

#include "app/CTaveroDlg.h"
#include "res/MainWindowIds.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

/// How long the indicator stays after the last remote change, in ms.
constexpr int kRemoteShownMs = 3000;
/// The wait for a request to return before its change is shown, in ms: at the next turn of the
/// event loop.
constexpr int kShowSoonMs = 1;

}  // namespace

void CTaveroDlg::settingsChanged(const model::SettingsNotice& notice) {
    if (notice.origin.frontEnd == model::FrontEnd::kWindow) {
        return;
    }
    if (notice.origin.remote() && notice.fields.any() && isOpen()) {
        noteRemoteChange(notice.origin);
    }
    if (taskListReturn_ && notice.origin.frontEnd != model::FrontEnd::kTaskList) {
        for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
            if (notice.fields[i]) {
                settingsFields()[i].set(*taskListReturn_, settingsFields()[i].get(settings()));
            }
        }
    }
    // Shown once the request that changed them has returned: a display that cannot show a
    // value says so in a message box, which must not hold up another front end's request.
    if (notice.fields.any() && isOpen()) {
        window().startTimer(kRefreshTimer, kShowSoonMs);
    }
}

void CTaveroDlg::connectionChanged(const model::ConnectionNotice& notice) {
    if (!isOpen() || notice.origin.frontEnd == model::FrontEnd::kWindow) {
        return;
    }
    if (notice.event == model::ConnectionEvent::kDisconnected && connected_) {
        showDisconnected();
        return;
    }
    if (notice.event != model::ConnectionEvent::kLost) {
        return;
    }
    showLostGenerator();
    // Reported at once when the window's own request found it gone, otherwise once that
    // request has returned.
    if (!lossReported_) {
        window().startTimer(kLossTimer, kShowSoonMs);
    }
}

void CTaveroDlg::remoteControlChanged() {
    if (isOpen()) {
        showRemoteControl();
    }
}

void CTaveroDlg::noteRemoteChange(const model::Origin& origin) {
    remoteRecent_ = true;
    remoteClient_ = origin.client;
    window().startTimer(kRemoteTimer, kRemoteShownMs);
    showRemoteControl();
}

void CTaveroDlg::showRemoteControl() {
    const model::RemoteControl& remote = generator_.remoteControl();
    const std::string& client = remote.lockHolder.empty() ? remoteClient_ : remote.lockHolder;
    const bool shown = remoteRecent_ || !remote.lockHolder.empty() || remote.lockout;
    window().setText(res::kLabelRemoteClient, client);
    for (const int id : {res::kLabelRemote, res::kLabelRemoteClient, res::kButtonLocal}) {
        window().show(id, shown);
    }
    enableConnectionControls(connected_);
}

void CTaveroDlg::goLocal() {
    generator_.goLocal();
}

}  // namespace tavero::app
