// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorDialog.h"
#include "dialogs/signal/DraftRecord.h"
#include "dialogs/signal/FieldTexts.h"

namespace tavero::dialogs {

/// The modulation settings: phase modulation source and keying kind, amplitude modulation on
/// or off, modulation frequency, phase and frequency deviation, edited in a draft of the record
/// of which only the fields the user changed are sent. Every click on a radio button or the AM box,
/// Enter in a field and the closing send them to the generator (`m`). It closes only with three
/// valid values stored.
class CModulationDlg final : public GeneratorDialog {
public:
    /// The model must outlive the dialog.
    explicit CModulationDlg(model::GeneratorModel& generator);

    int templateId() const override;
    void onInit() override;
    void onCommand(int id) override;
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Schließen", Escape and the close box: checks every field, sends and closes.
    void onCancel() override;

private:
    void showChange(const model::SettingsNotice& notice) override;
    /// The radios and the AM box as the record's bits say.
    void showModulationBits();
    /// Stores the fields the user changed and sends `commands`.
    void sendModulation(const char* commands);

    DraftRecord record_;
    FieldTexts texts_;
};

}  // namespace tavero::dialogs
