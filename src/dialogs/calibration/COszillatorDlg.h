// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorDialog.h"

namespace tavero::dialogs {

/// Frequency calibration: turns a measurement of the reference oscillator, taken directly
/// (method 1) or from the output set to 25 MHz (method 2), into the oscillator's frequency
/// and sends it to the generator. Measurements that would put the oscillator outside
/// 66.109..68.109 MHz are refused.
class COszillatorDlg final : public GeneratorDialog {
public:
    /// The model must outlive the dialog.
    explicit COszillatorDlg(model::GeneratorModel& generator) : GeneratorDialog(generator) {}

    int templateId() const override;
    void onInit() override;
    void onCommand(int id) override;
    /// Enter in either measurement field evaluates it as the send button does, then takes its
    /// ordinary way to the hidden default button.
    bool onEnterKey() override;

private:
    /// Reads the selected method's measurement and sends the oscillator frequency, or shows
    /// why not.
    void evaluate();
};

}  // namespace tavero::dialogs
