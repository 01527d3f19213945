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

/// The modulation settings: phase modulation source and keying kind, amplitude modulation on
/// or off, modulation frequency, phase and frequency deviation, edited in the main window's
/// record. Every click on a radio button or the AM box, Enter in a field and the closing send
/// them to the generator (`m`). It closes only with three valid values stored.
class CModulationDlg final : public GeneratorDialog {
public:
    /// The main window's record, port and link; all must outlive the dialog.
    CModulationDlg(GeneratorSettings& settings, link::Com& port, link::PacketLink& link);

    int templateId() const override;
    void onInit() override;
    void onCommand(int id) override;
    bool onEnterKey() override;
    /// The hidden default button does nothing.
    void onOk() override {}
    /// "Schließen", Escape and the close box: checks every field, sends and closes.
    void onCancel() override;

private:
    void sendModulation();

    GeneratorSettings& settings_;
    FieldTexts texts_;
};

}  // namespace tavero::dialogs
