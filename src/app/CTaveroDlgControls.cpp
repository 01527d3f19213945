// SPDX-License-Identifier: GPL-3.0-or-later
// Waveform, operating mode, output filter and the amplitude slider of the main window.
#include <algorithm>

#include "app/CTaveroDlg.h"
#include "core/SettingsLimits.h"
#include "res/MainWindowIds.h"
#include "res/StandardIds.h"
#include "ui/Window.h"

namespace tavero::app {

void CTaveroDlg::selectWaveform(std::uint8_t signalform) {
    GeneratorSettings draft = settings();
    draft.signalform = signalform;
    send(draft, "s");
    settingsModified_ = true;
}

void CTaveroDlg::changeMode(bool needed, std::uint8_t betriebsart) {
    if (needed) {
        GeneratorSettings draft = settings();
        draft.konfiguration = static_cast<std::uint8_t>(
            (draft.konfiguration & ~kKonfigurationBetriebsartMask) | betriebsart);
        send(draft, "e");
    }
    settingsModified_ = true;
}

void CTaveroDlg::selectStandard() {
    changeMode((settings().konfiguration & kKonfigurationBetriebsartMask) != 0,
               kBetriebsartStandard);
}

void CTaveroDlg::selectWobbeln() {
    changeMode((settings().konfiguration & kBetriebsartWobbeln) == 0, kBetriebsartWobbeln);
}

void CTaveroDlg::selectModulation() {
    changeMode((settings().konfiguration & kBetriebsartModulation) == 0, kBetriebsartModulation);
}

void CTaveroDlg::toggleFilter() {
    // The box reads "Filter deaktiviert": ticked means the filter is off.
    const bool filterOn = !window().isChecked(res::kCheckFilterOff);
    GeneratorSettings draft = settings();
    draft.konfiguration =
        static_cast<std::uint8_t>(filterOn ? draft.konfiguration | kKonfigurationFilter
                                           : draft.konfiguration & ~kKonfigurationFilter);
    send(draft, "a");
    settingsModified_ = true;
}

void CTaveroDlg::onScroll(int id, ui::ScrollCode code, int /*position*/) {
    if (id != res::kTrackbarAmplitude || lockedOut()) {
        return;
    }
    if (code == ui::ScrollCode::PageUp || code == ui::ScrollCode::PageDown ||
        code == ui::ScrollCode::ThumbTrack) {
        // The slider's top (position 0) is the full amplitude.
        const auto position =
            static_cast<std::uint16_t>(window().position(res::kTrackbarAmplitude));
        GeneratorSettings draft = settings();
        draft.amplitude = kMaximumAmplitudeMillivolt -
                          std::min<std::uint32_t>(position, kMaximumAmplitudeMillivolt);
        send(draft, "g");
        UpdateDisplay();
    }
    if (const int radio = selectedDigitRadio(); radio != res::kNoId) {
        window().setFocus(radio);
    }
}

}  // namespace tavero::app
