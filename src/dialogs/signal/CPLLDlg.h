// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"
#include "dialogs/signal/FieldTexts.h"
#include "ui/Dialog.h"

namespace tavero::dialogs {

/// The settings of the external PLL stage: its factor and its offset. They reach the record
/// only when the dialog closes, together with the least generator frequency a negative offset
/// demands (`minimalfrequenz` and `frequenz` are raised to it). Sends nothing; it closes only
/// with valid values stored.
class CPLLDlg final : public ui::Dialog {
public:
    /// The main window's record, which must outlive the dialog.
    explicit CPLLDlg(GeneratorSettings& settings);

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
    bool checkFactor();
    bool checkOffset();
    /// Takes the pending factor and offset with the limits they demand, or refuses them.
    bool applyStage();

    GeneratorSettings& settings_;
    FieldTexts texts_;
    std::int32_t pendingFactor_ = 0;
    std::int32_t pendingOffset_ = 0;  ///< in 0.01 kHz
};

}  // namespace tavero::dialogs
