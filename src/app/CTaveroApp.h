// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include "app/CTaveroDlg.h"

namespace tavero::ui {
class Host;
}

namespace tavero::app {

/// The application: runs the main window modally; when it ends, the program ends.
class CTaveroApp {
public:
    /// @param generator the model the main window views; not owned
    /// @param fileWriter saves the profile file; not owned
    CTaveroApp(ui::Host& host, model::GeneratorModel& generator, store::FileWriter& fileWriter)
        : host_(host), generator_(generator), mainWindow_(generator, fileWriter) {}

    /// The generator the main window views, for other front ends to share.
    model::GeneratorModel& model() { return generator_; }

    /// Where the main window opens its frequency response dialog; not owned.
    void setFrequencyResponseWindow(FrequencyResponseWindow* window) {
        mainWindow_.setFrequencyResponseWindow(window);
    }
    /// Where the main window opens its remote control dialog; not owned.
    void setRemoteControlWindow(RemoteControlWindow* window) {
        mainWindow_.setRemoteControlWindow(window);
    }
    /// Asked before the main window says it found no generator.
    void setHeldGeneratorNotice(CTaveroDlg::HeldGeneratorNotice notice) {
        mainWindow_.setHeldGeneratorNotice(std::move(notice));
    }

    /// Runs the main window until it closes.
    /// @param connectAtStart connect as soon as the window is shown
    void run(bool connectAtStart);

private:
    ui::Host& host_;
    model::GeneratorModel& generator_;
    CTaveroDlg mainWindow_;
};

}  // namespace tavero::app
