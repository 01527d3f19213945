// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorDialog.h"
#include "dialogs/signal/DraftRecord.h"
#include "dialogs/signal/FieldTexts.h"

namespace tavero::dialogs {

/// The sweep settings: start and stop frequency and sweep rate, edited in a draft of the record
/// and sent to the generator (`w`) on Enter in a field and when the dialog closes, with the
/// fields the user changed. It closes only with three valid values stored.
class CWobbelDlg final : public GeneratorDialog {
public:
    /// The model must outlive the dialog.
    explicit CWobbelDlg(model::GeneratorModel& generator);

    int templateId() const override;
    void onInit() override;
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Übernehmen", Escape and the close box: checks every field, sends and closes.
    void onCancel() override;

private:
    void showChange(const model::SettingsNotice& notice) override;
    /// Stores the fields the user changed and sends `commands`.
    void sendSweep(const char* commands);

    DraftRecord record_;
    FieldTexts texts_;
};

}  // namespace tavero::dialogs
