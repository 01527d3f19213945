// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorDialog.h"

namespace tavero::dialogs {

/// Offset calibration: two buttons drive the output stage to its lowest and its highest level so
/// that the user can trim the DC offset on the board; closing gives the output back the main
/// window's amplitude.
class COffsetDlg final : public GeneratorDialog {
public:
    /// The model must outlive the dialog.
    explicit COffsetDlg(model::GeneratorModel& generator) : GeneratorDialog(generator) {}

    int templateId() const override;
    void onCommand(int id) override;
    /// "Schließen", Escape and the close box.
    void onCancel() override;
};

}  // namespace tavero::dialogs
