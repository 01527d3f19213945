// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/calibration/CAmplitudeDlg.h"

#include <algorithm>
#include <array>
#include <utility>

#include "dialogs/calibration/OutputLevel.h"
#include "res/AmplitudeTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

using res::amplitude::kSlider;
using ui::ScrollCode;

// Slider positions run the other way from the levels, so that right means more amplitude.
constexpr int kSliderMinimum = 0;
constexpr int kSliderMaximum = kLevelLowestAmplitude;
constexpr int kSliderStart = 8192;

/// How far the line and page notifications move the slider; every other code except thumb
/// tracking leaves it where it is.
constexpr std::array<std::pair<ScrollCode, int>, 4> kSteps = {{
    {ScrollCode::LineUp, -10},
    {ScrollCode::LineDown, 10},
    {ScrollCode::PageUp, -100},
    {ScrollCode::PageDown, 100},
}};

int scrolledPosition(ScrollCode code, int current, int thumb) {
    if (code == ScrollCode::ThumbTrack) {
        return thumb;
    }
    for (const auto& [stepCode, step] : kSteps) {
        if (stepCode == code) {
            return current + step;
        }
    }
    return current;
}

}  // namespace

int CAmplitudeDlg::templateId() const {
    return res::amplitude::kDialogId;
}

void CAmplitudeDlg::onInit() {
    storedMarks_ = 0;
    window().setRange(kSlider, kSliderMinimum, kSliderMaximum);
    moveSlider(kSliderStart);
}

void CAmplitudeDlg::onCommand(int id) {
    switch (id) {
        case res::amplitude::kStore200mV:
            storeLevel(level200mV_, kMark200mV);
            break;
        case res::amplitude::kStore800mV:
            storeLevel(level800mV_, kMark800mV);
            break;
        case res::amplitude::kSendCalibration:
            sendCalibration();
            break;
        default:
            break;
    }
}

void CAmplitudeDlg::onScroll(int /*id*/, ui::ScrollCode code, int position) {
    // A drag ends with notifications that keep the position; they send its level once more.
    moveSlider(scrolledPosition(code, window().position(kSlider), position));
}

void CAmplitudeDlg::onCancel() {
    // The output goes back to the main window's amplitude; a failed command has shown its
    // message and does not keep the dialog open.
    GeneratorAccess access = generator();
    access.apply(model::Edit::resend("g"));
    window().endDialog(res::kIdCancel);
}

void CAmplitudeDlg::storeLevel(std::uint16_t& level, std::uint8_t mark) {
    level = sliderLevel();
    storedMarks_ |= mark;
    if (storedMarks_ == (kMark200mV | kMark800mV)) {
        window().enable(res::amplitude::kSendCalibration, true);
    }
}

void CAmplitudeDlg::sendCalibration() {
    GeneratorAccess access = generator();
    access.sendCalibration(level200mV_, level800mV_);
    // The marks stay: storing either level again offers a retry.
    window().enable(res::amplitude::kSendCalibration, false);
}

void CAmplitudeDlg::moveSlider(int position) {
    window().setPosition(kSlider, std::clamp(position, kSliderMinimum, kSliderMaximum));
    GeneratorAccess access = generator();
    access.sendLevel(sliderLevel());
}

std::uint16_t CAmplitudeDlg::sliderLevel() const {
    return static_cast<std::uint16_t>(kLevelLowestAmplitude - window().position(kSlider));
}

}  // namespace tavero::dialogs
