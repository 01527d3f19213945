// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "link/ComCP2102.h"
#include "link/DeviceCommands.h"
#include "link/MessageSink.h"
#include "link/PacketLink.h"
#include "link/TraceFile.h"
#include "store/BackupFileWriter.h"
#include "store/FileWriter.h"
#include "ui/Dialog.h"

namespace tavero::dialogs {
class GeneratorDialog;
}  // namespace tavero::dialogs

namespace tavero::app {

class FrequencyResponseWindow;

/// The main window: owns the port, the link, the current settings with the derived output
/// frequency, and the flags that follow the connection and unsaved changes. Every change the
/// user makes is sent to the generator at once.
class CTaveroDlg final : public ui::Dialog {
public:
    /// Where the link traces what it sends and prints what it receives.
    struct LinkSetup {
        std::filesystem::path tracePath = link::kDefaultTracePath;
        std::ostream* diagnostics = &std::cout;
    };

    /// @param bridge the USB bridge library the port opens the generator through; not owned
    /// @param fileWriter saves the profile file; not owned
    CTaveroDlg(link::UsbBridge& bridge, store::FileWriter& fileWriter, const LinkSetup& linkSetup);
    CTaveroDlg(link::UsbBridge& bridge, store::FileWriter& fileWriter)
        : CTaveroDlg(bridge, fileWriter, LinkSetup{}) {}

    /// Connects as soon as the window is shown, as a click on the connect button would.
    void connectWhenShown() { connectWhenShown_ = true; }
    /// Where "Messen" > "Frequenzgang…" opens; not owned. Without one the entry does nothing.
    void setFrequencyResponseWindow(FrequencyResponseWindow* window) {
        frequencyResponse_ = window;
    }

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
    const GeneratorSettings& settings() const { return settings_; }
    /// In 0.01 Hz, after the PLL stage; below zero only with a negative PLL offset.
    std::int64_t outputFrequency() const { return outputFrequency_; }
    /// In hundredths: 120 is version 1.20.
    std::uint16_t firmwareVersion() const { return firmwareVersion_; }

private:
    // Timer 1 belongs to the task list.
    static constexpr int kConnectTimer = 2;
    static constexpr int kWatchTimer = 3;

    // State and start-up
    void UpdateDisplay();
    void ShowSettings();
    void ShowNoConnection();
    /// Runs `action` when connected, otherwise shows the no-connection message.
    void whenConnected(void (CTaveroDlg::*action)());
    void enableConnectionControls(bool enabled);
    void closeWindow();
    void closePort();

    // Connection and device maintenance
    void ToggleConnection();
    void connect();
    void disconnect();
    void showDisconnected();
    /// The generator vanished: one message, and the window disconnected with the port closed.
    void reportLostGenerator();
    /// Notices a generator that went while nothing was sent to it.
    void watchGenerator();
    void showAbout();
    void factoryReset();
    void startBootloader();

    // Display and stepping
    void renderFrequency();
    void renderAmplitude();
    bool raiseFrequency(std::uint64_t step);
    bool lowerFrequency(std::uint64_t step);
    /// Takes a stepped output frequency; false for none.
    bool moveOutputFrequency(std::optional<std::int64_t> output);
    void stepAmplitude(std::uint64_t step, bool raise);
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

    /// Shows the command layer's failures as error boxes of this window.
    class Messages final : public link::MessageSink {
    public:
        explicit Messages(CTaveroDlg& window) : window_(window) {}
        void showError(std::string_view text, std::string_view caption) override;

    private:
        CTaveroDlg& window_;
    };

    store::BackupFileWriter fileWriter_;
    link::ComCP2102 port_;
    /// Says nothing when it cannot be written, as the window never did.
    link::TraceFile trace_;
    link::PacketLink link_;
    Messages messages_{*this};
    link::DeviceCommands commands_{port_, link_, messages_};
    GeneratorSettings settings_;
    std::int64_t outputFrequency_ = 0;
    std::uint16_t firmwareVersion_ = 0;
    bool connected_ = false;
    bool settingsModified_ = false;
    bool profileLoaded_ = false;
    bool connectWhenShown_ = false;
    /// The vanished generator has been reported; further failures of the same loss are not.
    bool lossReported_ = false;
    /// The dialog that talks to the generator while it is open.
    dialogs::GeneratorDialog* generatorDialog_ = nullptr;
    FrequencyResponseWindow* frequencyResponse_ = nullptr;
    std::filesystem::path dataFolder_;
    std::vector<StoredProfile> profiles_;
    /// The texts of the edits 1033, 1034, 1030, 1032, 1035 as last read or written.
    std::array<std::string, 5> editTexts_;
};

}  // namespace tavero::app
