// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GeneratorSettings.h"
#include "dialogs/GeneratorDialog.h"

namespace tavero::link {
class Com;
class PacketLink;
}  // namespace tavero::link

namespace tavero::dialogs {

/// Offset calibration: two buttons drive the output stage to its lowest and its highest level so
/// that the user can trim the DC offset on the board; closing gives the output back the main
/// window's amplitude.
class COffsetDlg final : public GeneratorDialog {
public:
    /// Everything is the main window's and must outlive the dialog; only `amplitude` is read.
    COffsetDlg(const GeneratorSettings& settings, link::Com& port, link::PacketLink& link)
        : GeneratorDialog(port, link), settings_(settings) {}

    int templateId() const override;
    void onCommand(int id) override;
    /// "Schließen", Escape and the close box.
    void onCancel() override;

private:
    const GeneratorSettings& settings_;
};

}  // namespace tavero::dialogs
