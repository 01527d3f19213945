// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CalibrationDialogTest.h"
#include "HeadlessWindow.h"
#include "dialogs/calibration/CAmplitudeDlg.h"
#include "res/AmplitudeTemplate.h"
#include "res/StandardIds.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

using Commands = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using ui::ScrollCode;
namespace ids = res::amplitude;

class AmplitudeDialogTest : public CalibrationDialogTest {
protected:
    headless::HeadlessWindow& open() { return host.open(dialog); }

    CAmplitudeDlg dialog{connection.model};
};

TEST_F(AmplitudeDialogTest, OpeningSendsTheMiddleLevelAndClosingRestoresTheAmplitude) {
    headless::HeadlessWindow& window = open();
    EXPECT_EQ(window.minimum(ids::kSlider), 0);
    EXPECT_EQ(window.maximum(ids::kSlider), 16383);
    EXPECT_EQ(window.position(ids::kSlider), 8192);
    EXPECT_FALSE(window.isEnabled(ids::kSendCalibration));
    window.pressEnter();
    EXPECT_FALSE(window.ended());

    window.pressCloseBox();

    EXPECT_TRUE(window.ended());
    ASSERT_EQ(connection.generator.received().size(), 2U);
    EXPECT_EQ(connection.generator.received()[0].letter, 'd');
    EXPECT_EQ(connection.generator.received()[0].arguments, (Bytes{0x1F, 0xFF}));
    EXPECT_EQ(connection.generator.received()[1].letter, 'g');
    EXPECT_EQ(connection.generator.received()[1].arguments, (Bytes{0x01, 0xF4}));
}

TEST_F(AmplitudeDialogTest, EachNotificationMovesTheSliderByItsCodeAndSendsTheLevel) {
    struct Case {
        int from;
        ScrollCode code;
        int thumb;
        int to;
    };
    const std::vector<Case> cases = {
        {8192, ScrollCode::LineUp, 0, 8182},
        {8192, ScrollCode::LineDown, 0, 8202},
        {8192, ScrollCode::PageUp, 0, 8092},
        {8192, ScrollCode::PageDown, 0, 8292},
        {16375, ScrollCode::LineDown, 0, 16383},
        {16383, ScrollCode::PageDown, 0, 16383},
        {5, ScrollCode::LineUp, 0, 0},
        {60, ScrollCode::PageUp, 0, 0},
        {8192, ScrollCode::ThumbTrack, 1234, 1234},
        {8192, ScrollCode::ThumbTrack, 20000, 16383},
        // The rest keep the position and still send its level.
        {8192, ScrollCode::ThumbPosition, 99, 8192},
        {8192, ScrollCode::Top, 0, 8192},
        {8192, ScrollCode::Bottom, 0, 8192},
        {8192, ScrollCode::EndScroll, 0, 8192},
    };
    headless::HeadlessWindow& window = open();
    for (const Case& c : cases) {
        window.scroll(ids::kSlider, ScrollCode::ThumbTrack, c.from);
        connection.generator.clearReceived();

        window.scroll(ids::kSlider, c.code, c.thumb);

        const std::string where =
            "from " + std::to_string(c.from) + " code " + std::to_string(static_cast<int>(c.code));
        EXPECT_EQ(window.position(ids::kSlider), c.to) << where;
        EXPECT_EQ(received(), Commands{"d " + std::to_string(16383 - c.to)}) << where;
    }
}

TEST_F(AmplitudeDialogTest, SendingNeedsBothLevelsAndAnotherStoreAfterEachSend) {
    headless::HeadlessWindow& window = open();
    // The first send fails: storing a level again offers the retry.
    connection.generator.injectFault(sim::Fault::kNoReply, 'q');
    host.answer(ui::Answer::Ok);
    struct Step {
        int thumb;
        int button;
        bool sendEnabled;
    };
    const std::vector<Step> steps = {
        {12000, ids::kStore800mV, false},      {4000, ids::kStore200mV, true},
        {4000, ids::kSendCalibration, false},  {16383, ids::kStore200mV, true},
        {16383, ids::kSendCalibration, false}, {0, ids::kStore800mV, true},
        {0, ids::kSendCalibration, false},
    };
    for (const Step& step : steps) {
        window.scroll(ids::kSlider, ScrollCode::ThumbTrack, step.thumb);
        window.click(step.button);
        EXPECT_EQ(window.isEnabled(ids::kSendCalibration), step.sendEnabled)
            << "after " << step.button << " at " << step.thumb;
    }

    Commands calibrations;
    for (const std::string& command : received()) {
        if (command.front() == 'q') {
            calibrations.push_back(command);
        }
    }
    // Far right is the highest amplitude (level 0), far left the lowest (16383).
    EXPECT_EQ(calibrations, (Commands{"q 12383 4383", "q 0 4383", "q 0 16383"}));
    ASSERT_EQ(host.messageBoxes().size(), 1U);
    EXPECT_EQ(host.messageBoxes()[0].box.text, "Fehler beim lesen");
}

}  // namespace
}  // namespace tavero::dialogs
