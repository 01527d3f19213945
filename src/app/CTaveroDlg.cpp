// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CTaveroDlg.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <span>

#include "app/DigitDisplay.h"
#include "app/MainWindowTexts.h"
#include "core/NumberText.h"
#include "core/SettingsLimits.h"
#include "link/Connection.h"
#include "model/EntryRules.h"
#include "model/OutputFrequency.h"
#include "res/MainWindowIds.h"
#include "res/StandardIds.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

/// A command of a button or menu entry, and whether it needs the connection.
struct CommandRoute {
    int id;
    void (CTaveroDlg::*handler)();
    bool needsConnection;
};

}  // namespace

void CTaveroDlg::Messages::showError(std::string_view text, std::string_view caption) {
    if (window_.generator_.lost()) {
        window_.reportLostGenerator();
        return;
    }
    window_.host().messageBox(text, caption, ui::Icon::Error, ui::Buttons::Ok);
}

CTaveroDlg::CTaveroDlg(model::GeneratorModel& generator, store::FileWriter& fileWriter)
    : generator_(generator), fileWriter_(fileWriter) {
    generator_.subscribe(*this);
}

CTaveroDlg::~CTaveroDlg() {
    generator_.unsubscribe(*this);
}

bool CTaveroDlg::send(const GeneratorSettings& changed, std::string commands) {
    return generator_.apply(model::Edit::fromDraft(settings(), changed, std::move(commands)),
                            requester());
}

int CTaveroDlg::templateId() const {
    return res::kMainWindowId;
}

void CTaveroDlg::onInit() {
    connected_ = false;
    settingsModified_ = false;
    window().checkRadio(res::kRadioFrequencyFirst, res::kRadioFrequencyLast,
                        res::kRadioFrequencyLast);
    window().setRange(res::kTrackbarAmplitude, 0, static_cast<int>(kMaximumAmplitudeMillivolt));
    window().setTickInterval(res::kTrackbarAmplitude, 100);
    enableConnectionControls(false);
    startProfileStore();
    if (connectWhenShown_) {
        // A timer first fires once the window is on screen and its event loop runs.
        window().startTimer(kConnectTimer, 0);
    }
}

void CTaveroDlg::onTimer(int timerId) {
    if (timerId == kConnectTimer) {
        window().stopTimer(kConnectTimer);
        ToggleConnection();
    } else if (timerId == kWatchTimer) {
        watchGenerator();
    } else if (timerId == kRefreshTimer) {
        window().stopTimer(kRefreshTimer);
        showOtherFrontEndsChange();
    } else if (timerId == kLossTimer) {
        reportLostGenerator();
    } else if (timerId == kRemoteTimer) {
        window().stopTimer(kRemoteTimer);
        remoteRecent_ = false;
        remoteClient_.clear();
        showRemoteControl();
    }
}

void CTaveroDlg::enableConnectionControls(bool enabled) {
    for (const int id : res::kConnectionControls) {
        window().enable(id, enabled && !lockedOut());
    }
    // The digits show the last values read, which a disconnected generator may no longer have.
    for (const auto& digits : {std::span<const int>(res::kFrequencyDigitIds),
                               std::span<const int>(res::kAmplitudeDigitIds)}) {
        for (const int id : digits) {
            window().enable(id, enabled);
        }
    }
    window().enable(res::kPictureDecimalPoint, enabled);
    window().show(res::kLabelUsb, enabled);
}

void CTaveroDlg::UpdateDisplay() {
    renderFrequency();
    renderAmplitude();
    window().setPosition(
        res::kTrackbarAmplitude,
        static_cast<int>(kMaximumAmplitudeMillivolt -
                         std::min(settings().amplitude, kMaximumAmplitudeMillivolt)));
    window().setText(res::kLabelFrequencyEdit,
                     model::usesPllStage(settings()) ? kFrequencyLabelPll : kFrequencyLabel);
    editTexts_ = {
        formatFixed(static_cast<double>(outputFrequency_) / 100, 2),
        std::to_string(static_cast<std::int32_t>(settings().amplitude)),
        model::limitText(settings().minimalfrequenz),
        model::limitText(settings().maximalfrequenz),
        formatFixed(static_cast<double>(settings().schrittweite) / 100, 2),
    };
    for (std::size_t i = 0; i < res::kEntryEditIds.size(); ++i) {
        window().setText(res::kEntryEditIds[i], editTexts_[i]);
        window().setTextInEffect(res::kEntryEditIds[i], editTexts_[i]);
    }
    settingsModified_ = true;
}

// A record from the generator's `P` reply, the profile file or a task list can hold any value
// its field's width allows. The window shows each as it is where it can and never fails on one:
// - Frequenz, the limits, Schrittweite: any value. An output frequency the digits cannot show
//   (below zero, or beyond them) brings the display's message and keeps the old digits; a
//   Minimalfrequenz above Maximalfrequenz leaves no step and no typed frequency in range.
// - Amplitude: the edit shows it as "%d" (so 4294967295 reads -1, and Enter refuses it); the
//   digits show 0..9999 and stay blank beyond; the slider stands at 100 % above 1000 mV.
// - Signalform above 3 leaves the waveform radios as they were; Betriebsart 6 ticks
//   "Standard".
// - PLL-Faktor 0 counts as 1; factor and offset of any size give a signed output frequency,
//   saturated far beyond the display; a least frequency above Maximalfrequenz refuses every
//   typed minimum.
// - Every field is sent as it is, cut to its wire width, and stored as it was read.
void CTaveroDlg::ShowSettings() {
    const GeneratorSettings& shown = settings();
    window().setChecked(res::kCheckFilterOff, (shown.konfiguration & kKonfigurationFilter) == 0);
    window().checkRadio(res::kRadioStandard, res::kRadioModulation, res::kRadioStandard);
    switch (shown.konfiguration & kKonfigurationBetriebsartMask) {
        case kBetriebsartWobbeln:
            window().checkRadio(res::kRadioStandard, res::kRadioModulation, res::kRadioWobbeln);
            break;
        case kBetriebsartModulation:
            window().checkRadio(res::kRadioStandard, res::kRadioModulation, res::kRadioModulation);
            break;
        default:
            break;
    }
    if (shown.signalform <= 3) {
        window().checkRadio(res::kRadioSinus, res::kRadioRechteckHalf,
                            res::kRadioSinus + shown.signalform);
    }
    outputFrequency_ = model::outputFrequencyOf(shown);
    UpdateDisplay();
}

void CTaveroDlg::ShowNoConnection() {
    host().messageBox(kNoConnectionText, link::kConnectionErrorCaption, ui::Icon::Information);
}

void CTaveroDlg::onCommand(int id) {
    static constexpr CommandRoute kRoutes[] = {
        {res::kButtonConnection, &CTaveroDlg::ToggleConnection, false},
        {res::kButtonFrequencyUp, &CTaveroDlg::stepFrequencyUp, false},
        {res::kButtonFrequencyDown, &CTaveroDlg::stepFrequencyDown, false},
        {res::kCheckFilterOff, &CTaveroDlg::toggleFilter, false},
        {res::kButtonSweep, &CTaveroDlg::openSweep, false},
        {res::kButtonModulation, &CTaveroDlg::openModulation, false},
        {res::kButtonPll, &CTaveroDlg::openPll, false},
        {res::kButtonTaskList, &CTaveroDlg::openTaskList, false},
        {res::kMenuTaskList, &CTaveroDlg::openTaskList, true},
        {res::kMenuSweep, &CTaveroDlg::openSweep, true},
        {res::kMenuModulation, &CTaveroDlg::openModulation, true},
        {res::kMenuPll, &CTaveroDlg::openPll, true},
        {res::kMenuCalibrateOffset, &CTaveroDlg::openOffsetCalibration, true},
        {res::kMenuCalibrateAmplitude, &CTaveroDlg::openAmplitudeCalibration, true},
        {res::kMenuCalibrateFrequency, &CTaveroDlg::openFrequencyCalibration, true},
        {res::kMenuFactoryReset, &CTaveroDlg::factoryReset, true},
        {res::kMenuBootloader, &CTaveroDlg::startBootloader, true},
        {res::kMenuFrequencyResponse, &CTaveroDlg::openFrequencyResponse, true},
        {res::kMenuRemoteControl, &CTaveroDlg::openRemoteControl, false},
        {res::kMenuAbout, &CTaveroDlg::showAbout, false},
        {res::kMenuExit, &CTaveroDlg::onCancel, false},
        {res::kButtonLoadProfile, &CTaveroDlg::LoadProfile, false},
        {res::kButtonSaveProfile, &CTaveroDlg::SaveProfile, false},
        {res::kMenuLoadProfile, &CTaveroDlg::LoadProfile, true},
        {res::kMenuSaveProfile, &CTaveroDlg::SaveProfile, true},
        {res::kRadioStandard, &CTaveroDlg::selectStandard, false},
        {res::kRadioWobbeln, &CTaveroDlg::selectWobbeln, false},
        {res::kRadioModulation, &CTaveroDlg::selectModulation, false},
        {res::kButtonLocal, &CTaveroDlg::goLocal, false},
    };
    // A locked-out window changes nothing until the user takes it back.
    if (lockedOut() && id != res::kButtonLocal && id != res::kMenuAbout && id != res::kMenuExit) {
        return;
    }
    if (id >= res::kRadioSinus && id <= res::kRadioRechteckHalf) {
        selectWaveform(static_cast<std::uint8_t>(id - res::kRadioSinus));
        return;
    }
    const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                    [id](const CommandRoute& r) { return r.id == id; });
    if (route == std::end(kRoutes)) {
        return;
    }
    if (route->needsConnection && !connected_) {
        ShowNoConnection();
        return;
    }
    (this->*route->handler)();
}

void CTaveroDlg::onOk() {
    // The hidden default button: Enter never closes the main window.
}

void CTaveroDlg::onCancel() {
    // Going back from storing the profile keeps the window open.
    if (!offerToStoreProfile()) {
        return;
    }
    if (connected_) {
        if (!generator_.disconnect(requester()).closed) {
            host().messageBox(link::kCloseFailedText);
        }
    }
    window().endDialog(res::kIdCancel);
}

void CTaveroDlg::onClose() {
    // Going back from storing the profile keeps the window open.
    if (!offerToStoreProfile()) {
        return;
    }
    if (connected_) {
        ToggleConnection();
    }
    window().endDialog(res::kIdCancel);
}

void CTaveroDlg::closePort() {
    if (!generator_.closeWithoutNotice({model::FrontEnd::kWindow, {}})) {
        host().messageBox(link::kCloseFailedText);
    }
}

}  // namespace tavero::app
