// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "link/MessageSink.h"
#include "model/GeneratorModel.h"
#include "model/GeneratorObserver.h"
#include "store/BackupFileWriter.h"
#include "store/FileWriter.h"
#include "ui/Dialog.h"

namespace tavero::dialogs {
class GeneratorDialog;
}  // namespace tavero::dialogs

namespace tavero::app {

class FrequencyResponseWindow;
class RemoteControlWindow;

/// The main window: a view of the generator model with the output frequency it derives, and
/// the flags that follow the connection and unsaved changes. Every change the user makes is
/// sent to the generator at once; what other front ends change is shown as it arrives.
class CTaveroDlg final : public ui::Dialog, private model::GeneratorObserver {
public:
    /// Tells the user which other program holds the generator a connect could not open;
    /// whether one does, having said so.
    using HeldGeneratorNotice = std::function<bool(ui::Host&)>;

    /// @param generator the model the window views and changes; not owned
    /// @param fileWriter saves the profile file; not owned
    CTaveroDlg(model::GeneratorModel& generator, store::FileWriter& fileWriter);
    ~CTaveroDlg() override;
    CTaveroDlg(const CTaveroDlg&) = delete;
    CTaveroDlg& operator=(const CTaveroDlg&) = delete;

    /// Connects as soon as the window is shown, as a click on the connect button would.
    void connectWhenShown() { connectWhenShown_ = true; }
    /// Where "Messen" > "Frequenzgang…" opens; not owned. Without one the entry does nothing.
    void setFrequencyResponseWindow(FrequencyResponseWindow* window) {
        frequencyResponse_ = window;
    }
    /// Where "Einstellungen" > "Fernsteuerung…" opens; not owned. Without one the entry does
    /// nothing.
    void setRemoteControlWindow(RemoteControlWindow* window) { remoteControl_ = window; }
    /// Asked before the window says it found no generator.
    void setHeldGeneratorNotice(HeldGeneratorNotice notice) { heldNotice_ = std::move(notice); }

    int templateId() const override;
    void onInit() override;
    void onTimer(int timerId) override;
    void onCommand(int id) override;
    bool onEnterKey() override;
    void onOk() override;
    void onCancel() override;
    void onClose() override;
    void onScroll(int id, ui::ScrollCode code, int position) override;
    void onMouseWheel(const ui::WheelEvent& event) override;
    void onMouseClick(const ui::MouseClick& event) override;

    bool connected() const { return connected_; }
    bool settingsModified() const { return settingsModified_; }
    bool profileLoaded() const { return profileLoaded_; }
    const GeneratorSettings& settings() const { return generator_.settings(); }
    /// In 0.01 Hz, after the PLL stage; below zero only with a negative PLL offset.
    std::int64_t outputFrequency() const { return outputFrequency_; }
    /// In hundredths: 120 is version 1.20.
    std::uint16_t firmwareVersion() const { return generator_.firmwareVersion(); }

private:
    // Timer 1 belongs to the task list.
    static constexpr int kConnectTimer = 2;
    static constexpr int kWatchTimer = 3;
    /// Shows what another front end changed, once the change's request has returned.
    static constexpr int kRefreshTimer = 4;
    /// Reports a generator another front end found gone.
    static constexpr int kLossTimer = 5;
    /// Ends the remote indicator a while after the last remote change.
    static constexpr int kRemoteTimer = 6;

    void settingsChanged(const model::SettingsNotice& notice) override;
    void connectionChanged(const model::ConnectionNotice& notice) override;
    void remoteControlChanged() override;

    // Remote control
    /// Shows the record as other front ends changed it; an entry field the user is typing in
    /// keeps what is typed.
    void showOtherFrontEndsChange();
    /// Shows the indicator naming `origin` for a while.
    void noteRemoteChange(const model::Origin& origin);
    /// The indicator and the controls as the remote control and the recent changes say.
    void showRemoteControl();
    bool lockedOut() const { return generator_.remoteControl().windowLocked(); }
    void goLocal();

    /// The window's requests: failures shown as its own message boxes.
    model::Requester requester() { return {{model::FrontEnd::kWindow, {}}, messages_}; }
    /// Takes the fields in which `changed` differs from the record and sends `commands`;
    /// whether the generator took all of them.
    bool send(const GeneratorSettings& changed, std::string commands);

    // State and start-up
    void UpdateDisplay();
    void ShowSettings();
    void ShowNoConnection();
    /// Runs `action` when connected, otherwise shows the no-connection message.
    void whenConnected(void (CTaveroDlg::*action)());
    void enableConnectionControls(bool enabled);
    void closeWindow();
    /// Closes the port without a notice; says so when it cannot.
    void closePort();

    // Connection and device maintenance
    void ToggleConnection();
    void connect();
    void disconnect();
    void showDisconnected();
    /// The generator vanished: the window disconnected, and a dialog talking to it ended.
    void showLostGenerator();
    /// Says once that the generator vanished.
    void reportLostGenerator();
    /// Notices a generator that went while nothing was sent to it.
    void watchGenerator();
    /// Asks a yes/no question with the warning icon; a generator lost while it was open makes
    /// the answer a no, as nothing could carry what a yes would send.
    bool confirmWhileConnected(std::string_view question, std::string_view caption);
    void showAbout();
    void factoryReset();
    void startBootloader();

    // Display and stepping
    void renderFrequency();
    void renderAmplitude();
    /// Steps the output frequency and with it `draft`'s frequenz, unless a limit is in the way.
    bool raiseFrequency(GeneratorSettings& draft, std::uint64_t step);
    bool lowerFrequency(GeneratorSettings& draft, std::uint64_t step);
    /// Takes a stepped output frequency into `draft`; false for none.
    bool moveOutputFrequency(GeneratorSettings& draft, std::optional<std::int64_t> output);
    void stepAmplitude(GeneratorSettings& draft, std::uint64_t step, bool raise);
    void stepFrequencyUp();
    void stepFrequencyDown();
    int selectedDigitRadio() const;
    /// Ticks `selected` and clears the other digit radios of both rows.
    void selectDigitRadio(int selected);
    void clickDigit(const ui::MouseClick& event);

    // Direct entry
    void enterFrequency();
    void enterMinimum();
    void enterMaximum();
    void enterAmplitude();
    void enterStep();
    void refuseWith(const std::string& message);
    /// Sets `frequenz`, derives the output frequency and sends `f`.
    void moveFrequency(std::uint32_t frequenz);

    // Waveform, mode, filter, amplitude slider
    void selectWaveform(std::uint8_t signalform);
    void changeMode(bool needed, std::uint8_t betriebsart);
    void selectStandard();
    void selectWobbeln();
    void selectModulation();
    void toggleFilter();

    // Profiles
    void startProfileStore();
    void CheckFolder();
    void ReadProfileFile();
    /// Stores `stored` at `row` under the update lock, over the file as it is now: profiles
    /// another program stored since the start stay.
    void WriteProfileFile(std::size_t row, const StoredProfile& stored);
    void fillProfileList(int selectedRow);
    void LoadProfile();
    void SaveProfile();
    /// Stores the settings under the selected row; false when the user went back instead.
    bool storeProfile();
    /// Whether the name can be stored, or the user chose to store it with its replacements.
    bool storeNameAnyway(std::string_view name);
    /// Asks whether a loaded and since changed profile is to be stored; false when the user
    /// went back to the window instead.
    bool offerToStoreProfile();

    // The other dialogs
    /// Runs a dialog that talks to the generator, with its failures reported as the window's
    /// own, so that a generator it finds gone disconnects the window and ends the dialog.
    void runGeneratorDialog(dialogs::GeneratorDialog& dialog);
    void openSweep();
    void openModulation();
    void openPll();
    void openTaskList();
    void openOffsetCalibration();
    void openAmplitudeCalibration();
    void openFrequencyCalibration();
    void openFrequencyResponse();
    void openRemoteControl();

    /// Shows the command layer's failures as error boxes of this window.
    class Messages final : public link::MessageSink {
    public:
        explicit Messages(CTaveroDlg& window) : window_(window) {}
        void showError(std::string_view text, std::string_view caption) override;

    private:
        CTaveroDlg& window_;
    };

    model::GeneratorModel& generator_;
    store::BackupFileWriter fileWriter_;
    Messages messages_{*this};
    HeldGeneratorNotice heldNotice_;
    std::int64_t outputFrequency_ = 0;
    bool connected_ = false;
    bool settingsModified_ = false;
    bool profileLoaded_ = false;
    bool connectWhenShown_ = false;
    /// The vanished generator has been reported; further failures of the same loss are not.
    bool lossReported_ = false;
    /// A remote client changed something a moment ago; the last one, where it is named.
    bool remoteRecent_ = false;
    std::string remoteClient_;
    /// The dialog that talks to the generator while it is open.
    dialogs::GeneratorDialog* generatorDialog_ = nullptr;
    /// While the task list is open: the settings it gives back when it closes, with what other
    /// front ends changed meanwhile.
    std::optional<GeneratorSettings> taskListReturn_;
    FrequencyResponseWindow* frequencyResponse_ = nullptr;
    RemoteControlWindow* remoteControl_ = nullptr;
    std::filesystem::path dataFolder_;
    std::vector<StoredProfile> profiles_;
    /// The texts of the edits 1033, 1034, 1030, 1032, 1035 as last read or written.
    std::array<std::string, 5> editTexts_;
};

}  // namespace tavero::app
