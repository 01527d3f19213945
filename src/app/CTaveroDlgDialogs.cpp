// SPDX-License-Identifier: GPL-3.0-or-later
// The secondary dialogs the main window opens, and what it does after each closes.
#include <string>

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
#include "model/Edit.h"
#include "model/GeneratorSignalSource.h"
#include "model/OutputFrequency.h"
#include "ui/Host.h"

namespace tavero::app {

void CTaveroDlg::runGeneratorDialog(dialogs::GeneratorDialog& dialog) {
    dialog.reportFailuresTo(messages_);
    generatorDialog_ = &dialog;
    host().runModal(dialog);
    generatorDialog_ = nullptr;
}

void CTaveroDlg::openSweep() {
    dialogs::CWobbelDlg sweep(generator_);
    runGeneratorDialog(sweep);
    settingsModified_ = true;
}

void CTaveroDlg::openModulation() {
    dialogs::CModulationDlg modulation(generator_);
    runGeneratorDialog(modulation);
    settingsModified_ = true;
}

void CTaveroDlg::openPll() {
    GeneratorSettings draft = settings();
    dialogs::CPLLDlg pll(draft, generator_);
    host().runModal(pll);
    // All four go out even when one fails or nothing changed.
    generator_.apply(pll.edit(), requester());
    outputFrequency_ = model::outputFrequencyOf(settings());
    UpdateDisplay();
}

void CTaveroDlg::openTaskList() {
    taskListReturn_ = settings();
    dialogs::CAufgabenlisteDlg taskList(profiles_, generator_, fileWriter_);
    runGeneratorDialog(taskList);
    const GeneratorSettings back = *taskListReturn_;
    taskListReturn_.reset();
    // Give the generator the window's settings back, unless it went while the list was open.
    if (connected_) {
        const bool played = model::differingFields(settings(), back).any();
        generator_.apply(model::Edit::whole(back), requester());
        if (played) {
            ShowSettings();
        }
    }
    settingsModified_ = true;
}

void CTaveroDlg::openOffsetCalibration() {
    dialogs::COffsetDlg offset(generator_);
    runGeneratorDialog(offset);
    settingsModified_ = true;
}

void CTaveroDlg::openAmplitudeCalibration() {
    dialogs::CAmplitudeDlg amplitude(generator_);
    runGeneratorDialog(amplitude);
    settingsModified_ = true;
}

void CTaveroDlg::openFrequencyCalibration() {
    dialogs::COszillatorDlg oszillator(generator_);
    runGeneratorDialog(oszillator);
    settingsModified_ = true;
}

void CTaveroDlg::openFrequencyResponse() {
    if (frequencyResponse_ == nullptr) {
        return;
    }
    // The sweep gives the generator its settings back when it ends, so the window's stay true.
    model::GeneratorSignalSource source(
        [this](const model::Edit& edit) { return generator_.apply(edit, requester()); },
        settings());
    frequencyResponse_->run(source);
}

void CTaveroDlg::openRemoteControl() {
    if (remoteControl_ != nullptr) {
        remoteControl_->run();
    }
}

}  // namespace tavero::app
