// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

namespace tavero::app::testing {
namespace {

TEST_F(MainWindowTest, WaveformRadiosSendEveryClick) {
    openConnected();
    window_->click(res::kRadioSinus);
    window_->click(res::kRadioSinus);
    window_->click(1014);
    EXPECT_EQ(received(), "sss");
    EXPECT_EQ(lastArguments('s'), Bytes{3});
    EXPECT_EQ(dialog_->settings().signalform, 3U);
    EXPECT_TRUE(dialog_->settingsModified());
}

TEST_F(MainWindowTest, ModeRadiosSendOnlyRealChanges) {
    openConnected();
    window_->click(res::kRadioStandard);
    EXPECT_EQ(received(), "");
    EXPECT_TRUE(dialog_->settingsModified());

    window_->click(res::kRadioModulation);
    window_->click(res::kRadioWobbeln);
    window_->click(res::kRadioWobbeln);
    EXPECT_EQ(received(), "ee");
    EXPECT_EQ(lastArguments('e'), Bytes{1});
    EXPECT_EQ(dialog_->settings().konfiguration, kKonfigurationFilter | kBetriebsartWobbeln);
    window_->click(res::kRadioStandard);
    EXPECT_EQ(lastArguments('e'), Bytes{0});
    EXPECT_EQ(dialog_->settings().konfiguration, kKonfigurationFilter);
}

TEST_F(MainWindowTest, FilterBoxSendsTheFilterState) {
    openConnected();
    window_->click(res::kCheckFilterOff);
    EXPECT_EQ(lastArguments('a'), Bytes{0});
    EXPECT_EQ(dialog_->settings().konfiguration & kKonfigurationFilter, 0);
    window_->click(res::kCheckFilterOff);
    EXPECT_EQ(lastArguments('a'), Bytes{1});
    EXPECT_EQ(dialog_->settings().konfiguration & kKonfigurationFilter, kKonfigurationFilter);
    EXPECT_EQ(received(), "aa");
}

TEST_F(MainWindowTest, AmplitudeSliderActsOnPageAndThumbTrackOnly) {
    openConnected();
    window_->click(1019);  // select the 100 mV digit
    struct Case {
        ui::ScrollCode code;
        int position;
        std::uint32_t amplitude;
        bool sends;
    };
    const Case cases[] = {
        {ui::ScrollCode::ThumbTrack, 0, 1000, true},
        {ui::ScrollCode::ThumbTrack, 1000, 0, true},
        {ui::ScrollCode::PageUp, 800, 200, true},
        {ui::ScrollCode::PageDown, 900, 100, true},
        {ui::ScrollCode::LineDown, 901, 100, false},
        {ui::ScrollCode::ThumbPosition, 500, 100, false},
        {ui::ScrollCode::Top, 0, 100, false},
        {ui::ScrollCode::EndScroll, 0, 100, false},
    };
    for (const Case& c : cases) {
        generator_.clearReceived();
        window_->setFocus(res::kEditAmplitude);
        window_->scroll(res::kTrackbarAmplitude, c.code, c.position);
        EXPECT_EQ(dialog_->settings().amplitude, c.amplitude) << static_cast<int>(c.code);
        EXPECT_EQ(received(), c.sends ? "g" : "");
        EXPECT_EQ(window_->focus(), 1019);  // the selected digit radio takes the focus
    }
    EXPECT_EQ(amplitudeDigits(), " 100");
}

}  // namespace
}  // namespace tavero::app::testing
