// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <utility>

#include "app/CTaveroDlg.h"

namespace tavero::ui {
class Host;
}

namespace tavero::app {

/// The application: runs the main window modally; when it ends, the program ends.
class CTaveroApp {
public:
    /// @param bridge where the main window finds the generator; not owned
    /// @param fileWriter saves the profile file; not owned
    CTaveroApp(ui::Host& host, link::UsbBridge& bridge, store::FileWriter& fileWriter)
        : host_(host), mainWindow_(bridge, fileWriter) {}

    /// Where the main window opens its frequency response dialog; not owned.
    void setFrequencyResponseWindow(FrequencyResponseWindow* window) {
        mainWindow_.setFrequencyResponseWindow(window);
    }

    /// Tells who holds the generator when a connect finds it held (see CTaveroDlg).
    void setHolderTeller(std::function<bool(ui::Host&)> teller) {
        mainWindow_.setHolderTeller(std::move(teller));
    }

    /// Runs the main window until it closes.
    /// @param connectAtStart connect as soon as the window is shown
    void run(bool connectAtStart);

private:
    ui::Host& host_;
    CTaveroDlg mainWindow_;
};

}  // namespace tavero::app
