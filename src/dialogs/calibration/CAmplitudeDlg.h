// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "dialogs/GeneratorDialog.h"

namespace tavero::dialogs {

/// Amplitude calibration: a slider drives the raw level of the output stage while the user
/// finds the levels that give 0.2 V and 0.8 V peak-to-peak into 50 Ω; both are then sent to
/// the generator. Closing gives the output back the main window's amplitude.
class CAmplitudeDlg final : public GeneratorDialog {
public:
    /// The model must outlive the dialog.
    explicit CAmplitudeDlg(model::GeneratorModel& generator) : GeneratorDialog(generator) {}

    int templateId() const override;
    void onInit() override;
    void onCommand(int id) override;
    void onScroll(int id, ui::ScrollCode code, int position) override;
    /// "Schließen", Escape and the close box.
    void onCancel() override;

private:
    /// Bits of storedMarks_: which levels have been stored since the dialog opened.
    static constexpr std::uint8_t kMark200mV = 0x01;
    static constexpr std::uint8_t kMark800mV = 0x02;

    /// Takes the slider's level as `level` and enables sending once both levels are stored.
    void storeLevel(std::uint16_t& level, std::uint8_t mark);
    void sendCalibration();
    /// Moves the slider and puts its level on the output stage.
    void moveSlider(int position);
    /// The raw level at the slider's position: right is the highest amplitude.
    std::uint16_t sliderLevel() const;

    std::uint16_t level200mV_ = 0;  ///< raw level for 0.2 V peak-to-peak
    std::uint16_t level800mV_ = 0;  ///< raw level for 0.8 V peak-to-peak
    std::uint8_t storedMarks_ = 0;
};

}  // namespace tavero::dialogs
