// SPDX-License-Identifier: GPL-3.0-or-later
// The secondary dialogs the main window opens, and what it does after each closes.
#include "app/CTaveroDlg.h"
#include "app/FrequencyResponseWindow.h"
#include "app/RemoteControlWindow.h"
#include "dialogs/calibration/CAmplitudeDlg.h"
#include "dialogs/calibration/COffsetDlg.h"
#include "dialogs/calibration/COszillatorDlg.h"
#include "dialogs/signal/CModulationDlg.h"
#include "dialogs/signal/CPLLDlg.h"
#include "dialogs/signal/CWobbelDlg.h"
#include "dialogs/tasklist/CAufgabenlisteDlg.h"
#include "model/GeneratorSignalSource.h"
#include "model/OutputFrequency.h"
#include "model/SettingsCommand.h"
#include "ui/Host.h"

namespace tavero::app {

void CTaveroDlg::runGeneratorDialog(dialogs::GeneratorDialog& dialog) {
    dialog.reportFailuresTo(messages_);
    generatorDialog_ = &dialog;
    host().runModal(dialog);
    generatorDialog_ = nullptr;
}

void CTaveroDlg::openSweep() {
    dialogs::CWobbelDlg sweep(settings_, port_, link_);
    runGeneratorDialog(sweep);
    settingsModified_ = true;
}

void CTaveroDlg::openModulation() {
    dialogs::CModulationDlg modulation(settings_, port_, link_);
    runGeneratorDialog(modulation);
    settingsModified_ = true;
}

void CTaveroDlg::openPll() {
    dialogs::CPLLDlg pll(settings_);
    host().runModal(pll);
    // All four go out even when one fails or nothing changed.
    commands_.SendFrequency(settings_);
    commands_.SendStep(settings_);
    commands_.SendPllFactor(settings_);
    commands_.SendPllOffset(settings_);
    outputFrequency_ = model::outputFrequencyOf(settings_);
    UpdateDisplay();
}

void CTaveroDlg::openTaskList() {
    dialogs::CAufgabenlisteDlg taskList(profiles_, port_, link_, fileWriter_);
    runGeneratorDialog(taskList);
    // What the list played reached only the generator: give it the window's settings back,
    // unless the generator went while the list was open.
    if (connected_) {
        commands_.SendSettings(settings_);
    }
    settingsModified_ = true;
}

void CTaveroDlg::openOffsetCalibration() {
    dialogs::COffsetDlg offset(settings_, port_, link_);
    runGeneratorDialog(offset);
    settingsModified_ = true;
}

void CTaveroDlg::openAmplitudeCalibration() {
    dialogs::CAmplitudeDlg amplitude(settings_, port_, link_);
    runGeneratorDialog(amplitude);
    settingsModified_ = true;
}

void CTaveroDlg::openFrequencyCalibration() {
    dialogs::COszillatorDlg oszillator(settings_, port_, link_);
    runGeneratorDialog(oszillator);
    settingsModified_ = true;
}

void CTaveroDlg::openFrequencyResponse() {
    if (frequencyResponse_ == nullptr) {
        return;
    }
    // The sweep gives the generator its settings back when it ends, so the window's stay true.
    model::GeneratorSignalSource source(
        [this](const model::Edit& edit) {
            bool taken = true;
            for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
                if (edit.fields[i]) {
                    settingsFields()[i].set(settings_, settingsFields()[i].get(edit.values));
                }
            }
            for (const char letter : edit.commands) {
                taken = model::sendSettingsCommand(commands_, letter, settings_) && taken;
            }
            return taken;
        },
        settings_);
    frequencyResponse_->run(source);
}

void CTaveroDlg::openRemoteControl() {
    if (remoteControl_ != nullptr) {
        remoteControl_->run();
    }
}

}  // namespace tavero::app
