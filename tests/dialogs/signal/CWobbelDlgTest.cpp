// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DialogSession.h"
#include "dialogs/signal/CWobbelDlg.h"
#include "model/Edit.h"
#include "res/WobbelTemplate.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::wobbel;

constexpr std::string_view kFrequencyRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\nMaximalfrequenz: 30000000.00 Hz";
constexpr std::string_view kRateRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.1 Hz\nMinimalfrequenz: 0.1 Hz\nMaximalfrequenz: 20.0 Hz";

/// Start 1000.00 Hz, stop 2000.00 Hz, rate 5.0 Hz.
GeneratorSettings sweepSettings() {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.wobbelStartfrequenz = 100000;
    s.wobbelStoppfrequenz = 200000;
    s.wobbelFrequenz = 50;
    return s;
}

using Session = DialogSession<CWobbelDlg>;

TEST(CWobbelDlgTest, OpensShowingTheRecordAndSendsNothing) {
    GeneratorSettings s = sweepSettings();
    s.wobbelStartfrequenz = 25;
    s.wobbelStoppfrequenz = 3000000000U;
    s.wobbelFrequenz = 125;
    Session session(s);
    EXPECT_EQ(session.window.text(ids::kStartfrequenzEdit), "0.25");
    EXPECT_EQ(session.window.text(ids::kStoppfrequenzEdit), "30000000.00");
    EXPECT_EQ(session.window.text(ids::kWobbelfrequenzEdit), "12.5");
    EXPECT_EQ(session.sentLetters(), "");
}

TEST(CWobbelDlgTest, EnterStoresAnAcceptedValueOrRefusesItAndSendsEitherWay) {
    expectEntries<CWobbelDlg>(
        sweepSettings(),
        {
            {"start",
             ids::kStartfrequenzEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.wobbelStartfrequenz; },
             kFrequencyRefusal,
             {
                 {"1000,25", true, 100025, "1000.25"},
                 {"1000.25", true, 100025, "1000.25"},
                 {"1000,5", true, 100050, "1000.50"},
                 {" 30000000", true, 3000000000, "30000000.00"},
                 {"0.25", true, 25, "0.25"},
                 {"2500 Hz", true, 250000, "2500.00"},
                 {"1000,05", false, 100000, "1000.00"},
                 {"30000000.25", false, 100000, "1000.00"},
                 {"0", false, 100000, "1000.00"},
                 {"-0.25", false, 100000, "1000.00"},
                 {"Hz", false, 100000, "1000.00"},
                 // Beyond 32 bits: their low 32 bits would be 25, a valid 0.25 Hz.
                 {"42949673.21", false, 100000, "1000.00"},
                 {"-42949672.71", false, 100000, "1000.00"},
                 {"1e300", false, 100000, "1000.00"},
                 {"inf", false, 100000, "1000.00"},
                 {"nan", false, 100000, "1000.00"},
             }},
            {"stop below the start",
             ids::kStoppfrequenzEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.wobbelStoppfrequenz; },
             kFrequencyRefusal,
             {
                 {"999,75", true, 99975, "999.75"},
                 {"1000,05", false, 200000, "2000.00"},
             }},
            {"rate",
             ids::kWobbelfrequenzEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.wobbelFrequenz; },
             kRateRefusal,
             {
                 {"0,1", true, 1, "0.1"},
                 {"20", true, 200, "20.0"},
                 {"12.5 Hz", true, 125, "12.5"},
                 {"20.1", false, 50, "5.0"},
                 {"0.05", false, 50, "5.0"},
                 // 4294967297 tenths: the low 32 bits would be 1, a valid 0.1 Hz.
                 {"429496729.7", false, 50, "5.0"},
             }},
        },
        "w");
}

TEST(CWobbelDlgTest, EnterSendsTheStoredValuesAndLeavesTheOtherFieldsAsTyped) {
    Session session(sweepSettings());
    session.window.type(ids::kStoppfrequenzEdit, "5,5");
    session.window.type(ids::kWobbelfrequenzEdit, "7");
    session.enter(ids::kStartfrequenzEdit, "1000,25");
    EXPECT_EQ(session.window.text(ids::kStoppfrequenzEdit), "5,5");
    EXPECT_EQ(session.window.text(ids::kWobbelfrequenzEdit), "7");
    EXPECT_EQ(session.settings.wobbelStoppfrequenz, 200000U);
    ASSERT_EQ(session.sentLetters(), "w");
    EXPECT_EQ(session.lastArguments(),
              (Bytes{0x00, 0x01, 0x86, 0xB9, 0x00, 0x03, 0x0D, 0x40, 0x00, 0x32}));
}

TEST(CWobbelDlgTest, EnterOutsideTheFieldsChecksAndSendsNothing) {
    Session session(sweepSettings());
    session.window.type(ids::kStartfrequenzEdit, "1000,05");
    session.window.setFocus(res::kIdCancel);
    session.window.pressEnter();
    EXPECT_EQ(session.window.text(ids::kStartfrequenzEdit), "1000,05");
    EXPECT_TRUE(session.boxes().empty());
    EXPECT_EQ(session.sentLetters(), "");
    EXPECT_FALSE(session.window.ended());
}

TEST(CWobbelDlgTest, EveryWayOfClosingStopsAtTheFirstRefusedFieldOrStoresSendsAndCloses) {
    for (const CloseWay& way : kCloseWays) {
        SCOPED_TRACE(way.name);
        Session session(sweepSettings());
        session.window.type(ids::kStartfrequenzEdit, "3000");
        session.window.type(ids::kStoppfrequenzEdit, "1000,05");
        session.window.type(ids::kWobbelfrequenzEdit, "99");
        session.acceptNextBox();
        way.close(session.window);

        EXPECT_FALSE(session.window.ended());
        ASSERT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.boxes()[0].box, refusal(kFrequencyRefusal));
        EXPECT_EQ(session.settings.wobbelStartfrequenz, 300000U);
        EXPECT_EQ(session.settings.wobbelStoppfrequenz, 200000U);
        EXPECT_EQ(session.window.text(ids::kStartfrequenzEdit), "3000.00");
        EXPECT_EQ(session.window.text(ids::kStoppfrequenzEdit), "2000.00");
        EXPECT_EQ(session.window.text(ids::kWobbelfrequenzEdit), "99");
        EXPECT_EQ(session.sentLetters(), "");

        session.window.type(ids::kStoppfrequenzEdit, "10,75");
        session.window.type(ids::kWobbelfrequenzEdit, "0,1");
        way.close(session.window);

        ASSERT_TRUE(session.window.ended());
        EXPECT_EQ(session.window.result(), res::kIdCancel);
        EXPECT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.settings.wobbelStoppfrequenz, 1075U);
        EXPECT_EQ(session.settings.wobbelFrequenz, 1U);
        EXPECT_EQ(session.sentLetters(), "w");
        EXPECT_EQ(session.lastArguments(),
                  (Bytes{0x00, 0x04, 0x93, 0xE0, 0x00, 0x00, 0x04, 0x33, 0x00, 0x01}));
    }
}

TEST(CWobbelDlgTest, AFailedSendIsReportedAndTheDialogStillCloses) {
    Session session(sweepSettings());
    session.connection.generator.injectFault(sim::Fault::kNak, 'w');
    session.acceptNextBox();
    session.window.click(res::kIdCancel);
    ASSERT_EQ(session.boxes().size(), 1U);
    EXPECT_EQ(session.boxes()[0].box,
              (ui::MessageBoxRequest{"Antwort nicht OK", "Übertragungsfehler", ui::Icon::Error,
                                     ui::Buttons::Ok}));
    EXPECT_TRUE(session.window.ended());
}

// A script changes the stop while the dialog is open: it shows where the user has not typed, and
// applying sends only what the user changed, over the script's stop.
TEST(CWobbelDlgTest, AppliesOnlyTheUsersFieldsOverAnotherFrontEndsChange) {
    struct Case {
        const char* name;
        bool typedStopFirst;  ///< the user typed a stop before the script's arrived
        const char* stopShown;
        std::uint32_t start;
        std::uint32_t stop;
    };
    for (const Case& c : std::vector<Case>{
             {"the user's start, the script's stop", false, "5000.00", 150000, 500000},
             {"the user's typed stop wins", true, "3000", 150000, 300000},
         }) {
        SCOPED_TRACE(c.name);
        Session session(sweepSettings());
        if (c.typedStopFirst) {
            session.window.type(ids::kStoppfrequenzEdit, "3000");
        }
        session.connection.model.apply(
            model::Edit::field(settingsFieldIndex("Wobbel-Stoppfrequenz"), 500000, "w"),
            session.connection.script());
        EXPECT_EQ(session.window.text(ids::kStoppfrequenzEdit), c.stopShown);
        session.window.type(ids::kStartfrequenzEdit, "1500");
        session.window.click(res::kIdCancel);
        ASSERT_TRUE(session.window.ended());
        EXPECT_EQ(session.connection.generator.settings().wobbelStartfrequenz, c.start);
        EXPECT_EQ(session.connection.generator.settings().wobbelStoppfrequenz, c.stop);
    }
}

}  // namespace
}  // namespace tavero::dialogs
