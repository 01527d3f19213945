// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"
#include "dialogs/GeneratorDialog.h"
#include "dialogs/signal/FieldTexts.h"
#include "model/Edit.h"

namespace tavero::dialogs {

/// The settings of the external PLL stage: its factor and its offset. They reach the record
/// only when the dialog closes, together with the least generator frequency a negative offset
/// demands (`minimalfrequenz` and `frequenz` are raised to it). Sends nothing; it closes only
/// with valid values stored. While open, the record follows what other front ends change in
/// the model, except where the user changed it.
class CPLLDlg final : public GeneratorDialog {
public:
    /// The main window's record, a copy of the model's values, and the model; both must outlive
    /// the dialog.
    CPLLDlg(GeneratorSettings& settings, model::GeneratorModel& generator);

    /// The fields of the record the user changed, then every PLL command, which go out even
    /// when nothing changed.
    model::Edit edit() const;

    int templateId() const override;
    void onInit() override;
    /// Checks the focused field without storing anything.
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Schließen", Escape and the close box: checks both fields and the least frequency,
    /// stores and closes.
    void onCancel() override;

private:
    void showChange(const model::SettingsNotice& notice) override;
    bool checkFactor();
    bool checkOffset();
    /// Takes the pending factor and offset with the limits they demand, or refuses them.
    bool applyStage();

    GeneratorSettings& settings_;
    /// The model's values as the record last took them.
    GeneratorSettings base_;
    FieldTexts texts_;
    std::int32_t pendingFactor_ = 0;
    std::int32_t pendingOffset_ = 0;  ///< in 0.01 kHz
};

}  // namespace tavero::dialogs
