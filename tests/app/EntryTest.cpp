// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <random>

#include "MainWindowFixture.h"
#include "core/NumberText.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

const std::string kWithin = "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n";
const std::string kFrequencyRefused =
    kWithin + "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\nMaximalfrequenz: 30000000.00 Hz";

class EntryTest : public MainWindowTest {
protected:
    void enter(int edit, const std::string& text) {
        window_->type(edit, text);
        window_->pressEnter();
    }
    const ui::MessageBoxRequest& lastBox() const {
        const auto& boxes = host_->messageBoxes();
        return boxes.at(boxes.size() - 1).box;  // throws when there was none
    }
};

TEST_F(EntryTest, FrequencyEntryAcceptsCommaAndRefusesOffGridValues) {
    openConnected();
    enter(res::kEditFrequency, "1000,5");
    EXPECT_EQ(dialog_->settings().frequenz, 100050U);
    EXPECT_EQ(received(), "f");
    EXPECT_EQ(window_->text(res::kEditFrequency), "1000.50");

    for (const char* refused : {"1000.1", "1000.125", "0", "30000000.25", "-5", "1e300", "inf",
                                "nan", "92233720368547758.08"}) {
        SCOPED_TRACE(refused);
        enter(res::kEditFrequency, refused);
        EXPECT_EQ(lastBox(), (ui::MessageBoxRequest{kFrequencyRefused, "Ungültige Eingabe",
                                                    ui::Icon::Warning, ui::Buttons::Ok}));
        EXPECT_EQ(window_->text(res::kEditFrequency), "1000.50");  // the stored value again
    }
    EXPECT_EQ(received(), "f");
    EXPECT_EQ(dialog_->settings().frequenz, 100050U);

    enter(res::kEditFrequency, "1000.259");  // digits below 0.01 Hz are cut off
    EXPECT_EQ(dialog_->settings().frequenz, 100025U);
}

TEST_F(EntryTest, RefusalMessageQuotesTheLimitEditsAsTyped) {
    openConnected();
    window_->type(res::kEditMinimum, "12,5");  // not applied: only its text is quoted
    enter(res::kEditFrequency, "0.1");
    EXPECT_EQ(
        lastBox().text,
        kWithin + "Auflösung: 0.25 Hz\nMinimalfrequenz: 12,5 Hz\nMaximalfrequenz: 30000000.00 Hz");
    EXPECT_EQ(window_->text(res::kEditMinimum), "0.25");
}

TEST_F(EntryTest, FrequencyEntryWithPllStageIsTheOutputFrequency) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllFaktor = 4;
    s.pllOffset = 1000;  // 10 kHz
    openConnected(s);
    EXPECT_EQ(window_->text(res::kLabelFrequencyEdit), "aktuelle Frequenz (PLL)");
    enter(res::kEditFrequency, "14000");
    EXPECT_EQ(dialog_->outputFrequency(), 1400000U);
    EXPECT_EQ(dialog_->settings().frequenz, 100000U);
}

TEST_F(EntryTest, RaisingTheMinimumAboveTheFrequencyMovesItAndSendsFBeforeC) {
    openConnected();
    enter(res::kEditMinimum, "2000");
    EXPECT_EQ(received(), "fc");
    EXPECT_EQ(dialog_->settings().frequenz, 200000U);
    EXPECT_EQ(dialog_->settings().minimalfrequenz, 200000U);
    EXPECT_EQ(lastArguments('c'), (Bytes{0x00, 0x03, 0x0D, 0x40, 0xB2, 0xD0, 0x5E, 0x00}));
    EXPECT_EQ(window_->text(res::kEditFrequency), "2000.00");
}

TEST_F(EntryTest, LoweringTheMaximumBelowTheFrequencyMovesItAndSendsFBeforeC) {
    openConnected();
    enter(res::kEditMaximum, "500");
    EXPECT_EQ(received(), "fc");
    EXPECT_EQ(dialog_->settings().frequenz, 50000U);
    EXPECT_EQ(dialog_->settings().maximalfrequenz, 50000U);
}

TEST_F(EntryTest, LimitRefusals) {
    openConnected();
    const std::string minimumRefused =
        kWithin + "Auflösung: 0.25 Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: 30000000.00 Hz";
    const std::string maximumRefused =
        kWithin + "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\nMaximalfrequenz: 30000000.00 Hz";
    const std::string stepRefused =
        kWithin + "Auflösung: 0.25: Hz\nMaximalfrequenz: 30000000.00 Hz";
    struct Case {
        int edit;
        const char* text;
        const std::string& message;
    };
    const Case cases[] = {
        {res::kEditMinimum, "0", minimumRefused},
        {res::kEditMinimum, "0.1", minimumRefused},
        {res::kEditMinimum, "30000000.25", minimumRefused},
        {res::kEditMinimum, "1e300", minimumRefused},
        {res::kEditMaximum, "0", maximumRefused},
        {res::kEditMaximum, "30000000.25", maximumRefused},
        {res::kEditMaximum, "nan", maximumRefused},
        {res::kEditStep, "0.1", stepRefused},
        {res::kEditStep, "-0.25", stepRefused},
        {res::kEditStep, "30000000.25", stepRefused},
        {res::kEditStep, "inf", stepRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        enter(c.edit, c.text);
        EXPECT_EQ(lastBox().text, c.message);
    }
    EXPECT_EQ(received(), "");
    EXPECT_EQ(dialog_->settings(), GeneratorSettings::emptyProfile());
}

TEST_F(EntryTest, StepAndAmplitudeEntries) {
    openConnected();
    enter(res::kEditStep, "0");
    enter(res::kEditStep, "12,25");
    EXPECT_EQ(dialog_->settings().schrittweite, 1225U);
    enter(res::kEditAmplitude, "1000");
    EXPECT_EQ(dialog_->settings().amplitude, 1000U);
    EXPECT_EQ(received(), "zzg");
    const std::string amplitudeRefused =
        kWithin + "Auflösung: 1 mV\nMinimum: 0 mV\nMaximum: 1000 mV";
    for (const char* refused : {"1001", "99999999999"}) {
        enter(res::kEditAmplitude, refused);
        EXPECT_EQ(lastBox().text, amplitudeRefused);
    }
    EXPECT_EQ(dialog_->settings().amplitude, 1000U);
    EXPECT_EQ(window_->text(res::kEditAmplitude), "1000");
}

TEST_F(EntryTest, PllRequiredMinimumAsksAndYesMovesFrequencyAndMinimum) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllOffset = -100000;  // -1000.00 kHz
    s.pllFaktor = 4;        // requires 250 kHz at the synthesiser
    s.frequenz = 30000000;
    s.minimalfrequenz = 25000000;
    openConnected(s);

    host_->answer(ui::Answer::No);
    enter(res::kEditMinimum, "100");
    EXPECT_EQ(lastBox(),
              (ui::MessageBoxRequest{"Die derzeitigen PLL-Einstellungen verlangen eine höhere "
                                     "Minimalfrequenz.\nSoll diese verwendet werden?",
                                     "Eingabefehler", ui::Icon::Warning, ui::Buttons::YesNo}));
    EXPECT_EQ(received(), "c");
    EXPECT_EQ(dialog_->settings().minimalfrequenz, 25000000U);

    host_->answer(ui::Answer::Yes);
    enter(res::kEditMinimum, "100");
    EXPECT_EQ(received(), "cfc");
    EXPECT_EQ(dialog_->settings().minimalfrequenz, 25000000U);
    EXPECT_EQ(dialog_->settings().frequenz, 25000000U);
    EXPECT_EQ(dialog_->outputFrequency(), 0U);
}

TEST_F(EntryTest, LeastFrequencyAboveTheMaximumRefusesAnyMinimum) {
    struct Case {
        std::int32_t pllOffset;  ///< from the generator
        std::uint32_t pllFaktor;
        std::uint32_t maximalfrequenz;
    };
    for (const Case c : {Case{-200000000, 1, 3000000000U}, Case{-100000, 4, 20000000}}) {
        SCOPED_TRACE(c.pllOffset);
        restart();
        GeneratorSettings s = GeneratorSettings::emptyProfile();
        s.pllOffset = c.pllOffset;
        s.pllFaktor = c.pllFaktor;
        s.maximalfrequenz = c.maximalfrequenz;
        openConnected(s);
        const std::size_t before = host_->messageBoxes().size();
        enter(res::kEditMinimum, "1000");
        // The refusal, then the display's own complaint about the negative output frequency.
        ASSERT_EQ(host_->messageBoxes().size(), before + 2);
        EXPECT_EQ(host_->messageBoxes()[before].box.caption, "Ungültige Eingabe");
        EXPECT_EQ(lastBox().caption, "Fehler in der Ausgabe");
        EXPECT_EQ(received(), "");
        EXPECT_EQ(dialog_->settings().minimalfrequenz, 25U);
    }
}

TEST_F(EntryTest, EnterWithoutFocusDoesNothingAndOnAButtonOnlyRefreshes) {
    openConnected();
    window_->setFocus(res::kButtonFrequencyUp);
    window_->type(res::kEditAmplitude, "7");     // moves the focus to the edit...
    window_->setFocus(res::kButtonFrequencyUp);  // ...and back to the button
    window_->pressEnter();
    EXPECT_EQ(received(), "");
    EXPECT_EQ(window_->text(res::kEditAmplitude), "500");
    EXPECT_TRUE(dialog_->settingsModified());
}

// Every text the frequency edit may see: it is accepted exactly when its value, cut to 0.01 Hz,
// lies on the 0.25 Hz grid within the limits, and the record never holds anything else.
TEST_F(EntryTest, FrequencyEntryPropertyOverGeneratedTexts) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.minimalfrequenz = 100;
    s.maximalfrequenz = 200000000;
    openConnected(s);
    std::mt19937 random(20261207);
    const std::string alphabet = "0123456789,.-+eE x";
    const char* const specials[] = {
        "1e300", "-1e300", "inf",    "nan",       "1e19",  "9223372036854775807",
        "0x10",  "",       "  2000", "2000,00,5", "1.5e3", "2e-2"};
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        if (i < static_cast<int>(std::size(specials))) {
            text = specials[i];
        } else {
            const int length = 1 + static_cast<int>(random() % 10);
            for (int k = 0; k < length; ++k) {
                text += alphabet[random() % alphabet.size()];
            }
        }
        const GeneratorSettings before = dialog_->settings();
        const std::size_t boxes = host_->messageBoxes().size();
        enter(res::kEditFrequency, text);

        const double scaled = std::trunc(readLeadingNumber(withDecimalPoints(text)) * 100.0);
        const bool shouldAccept = std::isfinite(scaled) && scaled >= 100 && scaled <= 200000000 &&
                                  std::fmod(scaled, 25.0) == 0;
        SCOPED_TRACE(text);
        if (shouldAccept) {
            ++accepted;
            EXPECT_EQ(host_->messageBoxes().size(), boxes);
            EXPECT_EQ(dialog_->settings().frequenz, static_cast<std::uint32_t>(scaled));
        } else {
            EXPECT_EQ(host_->messageBoxes().size(), boxes + 1);
            EXPECT_EQ(dialog_->settings(), before);
        }
        const std::uint32_t f = dialog_->settings().frequenz;
        ASSERT_TRUE(f % 25 == 0 && f >= 100 && f <= 200000000);
    }
    EXPECT_GT(accepted, 100);
}

}  // namespace
}  // namespace tavero::app::testing
