// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "model/OutputFrequency.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

constexpr int kWheelNotch = 120;

GeneratorSettings withFrequency(std::uint32_t frequenz) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.frequenz = frequenz;
    return s;
}

class SteppingTest : public MainWindowTest {
protected:
    void wheel(int delta, ui::KeyState keys = 0) { window_->wheel(delta, keys, centreOf(1061)); }
    void selectDigit(int radio) { window_->click(radio); }
    std::uint32_t sentFrequency() const {
        const Bytes f = lastArguments('f');
        return f.size() == 4
                   ? static_cast<std::uint32_t>(f[0] << 24 | f[1] << 16 | f[2] << 8 | f[3])
                   : 0;
    }
};

TEST_F(SteppingTest, DisplayShowsTwoDecimalsAndSwitchesToKilohertzAboveThirtyMegahertz) {
    struct Case {
        std::uint32_t frequenz;
        std::uint32_t pllFaktor;
        const char* digits;
        const char* unit;
    };
    const Case cases[] = {
        {0, 1, "       000", "Hz"},
        {25, 1, "       025", "Hz"},
        {3000000000U, 1, "3000000000", "Hz"},
        {1500005000, 2, "   3000010", "kHz"},  // 30 000.10 kHz: the 10 Hz digit is the last
        {3000000000U, 2, "   6000000", "kHz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequenz);
        GeneratorSettings s = withFrequency(c.frequenz);
        s.pllFaktor = c.pllFaktor;
        s.minimalfrequenz = 0;
        restart();
        openConnected(s);
        EXPECT_EQ(frequencyDigits(), c.digits);
        EXPECT_EQ(window_->text(res::kLabelFrequencyUnit), c.unit);
    }
}

TEST_F(SteppingTest, AmplitudeShowsNoLeadingZeros) {
    for (const auto& [amplitude, digits] : std::vector<std::pair<std::uint32_t, const char*>>{
             {0, "   0"}, {5, "   5"}, {1000, "1000"}}) {
        GeneratorSettings s = GeneratorSettings::emptyProfile();
        s.amplitude = amplitude;
        restart();
        openConnected(s);
        EXPECT_EQ(amplitudeDigits(), digits);
    }
}

TEST_F(SteppingTest, WheelStepsTheSelectedDigitAndSendsFrequencyAndAmplitude) {
    openConnected();
    wheel(kWheelNotch);
    EXPECT_EQ(received(), "fg");
    EXPECT_EQ(dialog_->settings().frequenz, 100025U);  // the 0.1 Hz digit steps 0.25 Hz
    EXPECT_EQ(sentFrequency(), 100025U);

    selectDigit(1004);        // 1 kHz
    wheel(-3 * kWheelNotch);  // one step whatever the delta
    EXPECT_EQ(dialog_->settings().frequenz, 25U);

    selectDigit(1019);  // 100 mV
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->settings().amplitude, 600U);
    EXPECT_EQ(lastArguments('g'), (Bytes{0x02, 0x58}));
    EXPECT_EQ(amplitudeDigits(), " 600");
    EXPECT_TRUE(dialog_->settingsModified());
}

TEST_F(SteppingTest, WheelWithOneKeyHeldOrOutsideTheWindowSendsButDoesNotStep) {
    openConnected();
    for (const ui::KeyState keys : {ui::kKeyShift, ui::kKeyControl, ui::kKeyLeftButton,
                                    ui::kKeyRightButton, ui::kKeyMiddleButton}) {
        wheel(kWheelNotch, keys);
    }
    window_->wheel(kWheelNotch, 0, {window_->frameRect().right + 1, 10});
    EXPECT_EQ(received(), "fgfgfgfgfgfg");
    EXPECT_EQ(dialog_->settings().frequenz, 100000U);

    wheel(kWheelNotch, ui::kKeyShift | ui::kKeyControl);  // two keys: steps
    EXPECT_EQ(dialog_->settings().frequenz, 100025U);
}

TEST_F(SteppingTest, NoStepBeyondALimitAndNoClamping) {
    GeneratorSettings s = withFrequency(2500000000U);  // 25 MHz, maximum 30 MHz
    openConnected(s);
    selectDigit(1000);  // 10 MHz
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->settings().frequenz, 2500000000U);
    EXPECT_EQ(received(), "fg");

    selectDigit(1018);  // 1000 mV at 500 mV
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->settings().amplitude, 500U);
    selectDigit(1019);
    for (int i = 0; i < 6; ++i) {
        wheel(-kWheelNotch);
    }
    EXPECT_EQ(dialog_->settings().amplitude, 0U);  // 500 .. 0, then no step below
    selectDigit(1018);
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->settings().amplitude, 1000U);
}

TEST_F(SteppingTest, AmplitudeDigitLimits) {
    struct Case {
        std::uint32_t amplitude;
        int radio;
        int delta;
        std::uint32_t after;
    };
    const Case cases[] = {
        {50, 1019, -kWheelNotch, 50},  // lowering 100 mV at 50 mV
        {1, 1018, kWheelNotch, 1},     // 1001 > 1000
        {0, 1018, kWheelNotch, 1000},
        {999, 1021, kWheelNotch, 1000},
    };
    for (const Case& c : cases) {
        GeneratorSettings s = GeneratorSettings::emptyProfile();
        s.amplitude = c.amplitude;
        restart();
        openConnected(s);
        selectDigit(c.radio);
        wheel(c.delta);
        EXPECT_EQ(dialog_->settings().amplitude, c.after) << c.amplitude;
    }
}

TEST_F(SteppingTest, CrossingThirtyMegahertzKeepsTheSelectedDecade) {
    GeneratorSettings s = withFrequency(1495000000);  // 29.9 MHz at the output with factor 2
    s.pllFaktor = 2;
    openConnected(s);
    selectDigit(1002);  // 100 kHz
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->outputFrequency(), 3000000000U);
    EXPECT_TRUE(window_->isChecked(1002));  // still on the Hz scale at exactly 30 MHz
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->outputFrequency(), 3010000000U);
    EXPECT_TRUE(window_->isChecked(1005));  // the 100 kHz digit on the kHz scale
    EXPECT_FALSE(window_->isChecked(1002));
    EXPECT_TRUE(window_->isChecked(res::kRadioSinus));
    EXPECT_TRUE(window_->isChecked(res::kRadioStandard));
    EXPECT_EQ(window_->text(res::kLabelFrequencyUnit), "kHz");
    EXPECT_EQ(dialog_->settings().frequenz, 1505000000U);

    wheel(-kWheelNotch);
    wheel(-kWheelNotch);
    EXPECT_EQ(dialog_->outputFrequency(), 2990000000U);
    EXPECT_TRUE(window_->isChecked(1002));
    EXPECT_TRUE(window_->isChecked(res::kRadioSinus));
    EXPECT_TRUE(window_->isChecked(res::kRadioStandard));
}

TEST_F(SteppingTest, ClicksStepTheDigitUnderThePointer) {
    openConnected();
    window_->mouseDown(ui::MouseButton::Right, centreOf(1076));  // 0.01 Hz picture lowers 0.25 Hz
    EXPECT_EQ(dialog_->settings().frequenz, 99975U);
    EXPECT_EQ(received(), "f");
    window_->mouseDown(ui::MouseButton::Left, centreOf(1059));  // 10 Hz
    EXPECT_EQ(dialog_->settings().frequenz, 100975U);
    window_->mouseDoubleClick(ui::MouseButton::Left, centreOf(1061));  // 1 kHz, twice
    EXPECT_EQ(dialog_->settings().frequenz, 300975U);
    EXPECT_TRUE(window_->isChecked(res::kRadioFrequencyLast));  // the selection stays

    window_->mouseDown(ui::MouseButton::Left, centreOf(1068));  // 100 mV
    EXPECT_EQ(dialog_->settings().amplitude, 600U);
    EXPECT_EQ(received(), "ffffg");

    // Between the rows and between pictures: nothing is sent, the window is refreshed.
    const ui::Rect left = window_->controlRect(1060);
    const ui::Rect right = window_->controlRect(1061);
    ASSERT_LT(right.right + 1, left.left);
    window_->mouseDown(ui::MouseButton::Left, {right.right + 2, centreOf(1061).y});
    window_->mouseDown(
        ui::MouseButton::Left,
        {10, (window_->controlRect(1065).bottom + window_->controlRect(1069).top) / 2});
    EXPECT_EQ(received(), "ffffg");
}

TEST_F(SteppingTest, ClickOnTheKilohertzScaleStepsHundredHertzAtTheLowestDigits) {
    GeneratorSettings s = withFrequency(1600000000);
    s.pllFaktor = 2;  // 32 MHz at the output
    openConnected(s);
    window_->mouseDown(ui::MouseButton::Left, centreOf(1057));
    EXPECT_EQ(dialog_->outputFrequency(), 3200010000U);
}

TEST_F(SteppingTest, UpDownButtonsStepByTheStepWidth) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.schrittweite = 2500;
    s.maximalfrequenz = 102500;
    openConnected(s);
    window_->click(res::kButtonFrequencyUp);
    EXPECT_EQ(dialog_->settings().frequenz, 102500U);
    window_->click(res::kButtonFrequencyUp);  // beyond the maximum: nothing, but f is sent
    EXPECT_EQ(dialog_->settings().frequenz, 102500U);
    window_->click(res::kButtonFrequencyDown);
    EXPECT_EQ(dialog_->settings().frequenz, 100000U);
    EXPECT_EQ(received(), "fff");
}

TEST_F(SteppingTest, WheelAndClicksDoNothingWhileDisconnected) {
    open();
    window_->wheel(kWheelNotch, 0, centreOf(1061));
    window_->mouseDown(ui::MouseButton::Left, centreOf(1061));
    EXPECT_EQ(received(), "");
    EXPECT_EQ(frequencyDigits(), "          ");
}

TEST_F(SteppingTest, NegativePllOffsetStepsWithinTheLimitsAndNotBelowZero) {
    struct Case {
        const char* name;
        std::uint32_t pllFaktor;
        std::int32_t pllOffset;  ///< in 0.01 kHz
        std::uint32_t frequenz;
        int button;
        std::int64_t outputAfter;
    };
    const Case cases[] = {
        {"lowered to zero", 1, -1, 1100, res::kButtonFrequencyDown, 0},
        {"not below zero", 1, -1, 1050, res::kButtonFrequencyDown, 50},
        {"raised back from below zero", 1, -1, 500, res::kButtonFrequencyUp, -400},
        {"largest offset and factor", 2048, -200000000, 97656300, res::kButtonFrequencyDown,
         102400 - 100},
        {"up to the maximum", 2, -100000, 3000000000U - 50, res::kButtonFrequencyUp, 5900000000},
        {"not beyond the maximum", 2, -100000, 3000000000U - 25, res::kButtonFrequencyUp,
         5899999950},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        GeneratorSettings s = withFrequency(c.frequenz);
        s.pllFaktor = c.pllFaktor;
        s.pllOffset = c.pllOffset;
        s.minimalfrequenz = 25;  // below what the offset needs, as the generator may hold it
        s.schrittweite = 100;
        openConnected(s);
        window_->click(c.button);
        EXPECT_EQ(dialog_->outputFrequency(), c.outputAfter);
        EXPECT_EQ(dialog_->settings().frequenz,
                  model::frequenzForOutput(dialog_->settings(), dialog_->outputFrequency()));
    }
}

TEST_F(SteppingTest, PllFactorZeroCountsAsOne) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllFaktor = 0;
    openConnected(s);
    EXPECT_EQ(dialog_->outputFrequency(), 100000U);
    EXPECT_EQ(window_->text(res::kLabelFrequencyEdit), "aktuelle Frequenz (PLL)");
    wheel(kWheelNotch);
    EXPECT_EQ(dialog_->settings().frequenz, 100025U);
}

}  // namespace
}  // namespace tavero::app::testing
