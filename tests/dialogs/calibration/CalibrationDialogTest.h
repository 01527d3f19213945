// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessHost.h"
#include "ReceivedCommands.h"
#include "SimulatedConnection.h"
#include "core/GeneratorSettings.h"

namespace tavero::dialogs {

/// A calibration dialog opened by a main window whose amplitude is 500 mV, with the generator
/// connected.
class CalibrationDialogTest : public ::testing::Test {
protected:
    CalibrationDialogTest() {
        GeneratorSettings settings;
        settings.amplitude = 500;
        connection.hold(settings);
    }

    std::vector<std::string> received() const { return describeReceived(connection.generator); }

    testing::SimulatedConnection connection;
    headless::HeadlessHost host;
};

}  // namespace tavero::dialogs
