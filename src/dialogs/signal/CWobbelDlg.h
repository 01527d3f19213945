// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GeneratorSettings.h"
#include "dialogs/GeneratorDialog.h"
#include "dialogs/signal/FieldTexts.h"

namespace tavero::link {
class Com;
class PacketLink;
}  // namespace tavero::link

namespace tavero::dialogs {

/// The sweep settings: start and stop frequency and sweep rate, edited in the main window's
/// record and sent to the generator (`w`) on Enter in a field and when the dialog closes.
/// It closes only with three valid values stored.
class CWobbelDlg final : public GeneratorDialog {
public:
    /// The main window's record, port and link; all must outlive the dialog.
    CWobbelDlg(GeneratorSettings& settings, link::Com& port, link::PacketLink& link);

    int templateId() const override;
    void onInit() override;
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Übernehmen", Escape and the close box: checks every field, sends and closes.
    void onCancel() override;

private:
    void sendSweep();

    GeneratorSettings& settings_;
    FieldTexts texts_;
};

}  // namespace tavero::dialogs
