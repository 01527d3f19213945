// SPDX-License-Identifier: GPL-3.0-or-later
// Waveform, operating mode, output filter and the amplitude slider of the main window.
#include "app/CTaveroDlg.h"
#include "res/MainWindowIds.h"
#include "res/StandardIds.h"
#include "ui/Window.h"

namespace tavero::app {

void CTaveroDlg::selectWaveform(std::uint8_t signalform) {
    commands_.SendWaveform(signalform);
    settings_.signalform = signalform;
    settingsModified_ = true;
}

void CTaveroDlg::changeMode(bool needed, std::uint8_t betriebsart) {
    if (needed) {
        settings_.konfiguration = static_cast<std::uint8_t>(
            (settings_.konfiguration & ~kKonfigurationBetriebsartMask) | betriebsart);
        // The mode byte counts 0, 1, 2 where the bits count 0, 2, 4.
        commands_.SendMode(static_cast<std::uint8_t>(betriebsart >> 1));
    }
    settingsModified_ = true;
}

void CTaveroDlg::selectStandard() {
    changeMode((settings_.konfiguration & kKonfigurationBetriebsartMask) != 0,
               kBetriebsartStandard);
}

void CTaveroDlg::selectWobbeln() {
    changeMode((settings_.konfiguration & kBetriebsartWobbeln) == 0, kBetriebsartWobbeln);
}

void CTaveroDlg::selectModulation() {
    changeMode((settings_.konfiguration & kBetriebsartModulation) == 0, kBetriebsartModulation);
}

void CTaveroDlg::toggleFilter() {
    // The box reads "Filter deaktiviert": ticked means the filter is off.
    const bool filterOn = !window().isChecked(res::kCheckFilterOff);
    settings_.konfiguration =
        static_cast<std::uint8_t>(filterOn ? settings_.konfiguration | kKonfigurationFilter
                                           : settings_.konfiguration & ~kKonfigurationFilter);
    commands_.SendFilter(filterOn);
    settingsModified_ = true;
}

void CTaveroDlg::onScroll(int id, ui::ScrollCode code, int /*position*/) {
    if (id != res::kTrackbarAmplitude) {
        return;
    }
    if (code == ui::ScrollCode::PageUp || code == ui::ScrollCode::PageDown ||
        code == ui::ScrollCode::ThumbTrack) {
        // The slider's top (position 0) is the full 1000 mV.
        const auto position =
            static_cast<std::uint16_t>(window().position(res::kTrackbarAmplitude));
        settings_.amplitude = static_cast<std::uint32_t>(1000 - position);
        UpdateDisplay();
        commands_.SendAmplitude(settings_);
    }
    if (const int radio = selectedDigitRadio(); radio != res::kNoId) {
        window().setFocus(radio);
    }
}

}  // namespace tavero::app
