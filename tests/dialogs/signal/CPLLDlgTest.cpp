// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DialogSession.h"
#include "dialogs/signal/CPLLDlg.h"
#include "model/Edit.h"
#include "res/PllTemplate.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::pll;

constexpr std::string_view kFactorRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 1\nMinimalfaktor: 1\nMaximalfaktor: 2048";
constexpr std::string_view kOffsetRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalphase: -2000000.00 Hz\nMaximalphase:  2000000.00 Hz";
constexpr std::string_view kLeastFrequencyRefusal =
    "Für den eingegebenen Offset, ist eine Mininalfrequenz\nvon größer als 30 MHz notwendig\n\n"
    "Erhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.";

/// Factor 4, offset -100.00 kHz, limits and frequency well above what the offset demands.
GeneratorSettings pllSettings() {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllFaktor = 4;
    s.pllOffset = -10000;
    s.minimalfrequenz = 5000000;
    s.frequenz = 8000000;
    return s;
}

using Session = DialogSession<CPLLDlg>;

TEST(CPLLDlgTest, OpensShowingFactorAndOffset) {
    Session session(pllSettings());
    EXPECT_EQ(session.window.text(ids::kTeilungsfaktorEdit), "4");
    EXPECT_EQ(session.window.text(ids::kOffsetEdit), "-100.00");
}

TEST(CPLLDlgTest, FactorFromOneTo2048IsTakenOnClosingAndKeepsItsTypedText) {
    struct Case {
        const char* typed;
        bool accepted;
        std::uint32_t stored;  ///< `pllFaktor` after closing
        const char* shown;     ///< the factor's text after Enter
    };
    const std::vector<Case> cases = {
        {"1", true, 1, "1"},
        {"2048", true, 2048, "2048"},
        {"12,9", true, 12, "12,9"},
        {"0", false, 4, "4"},
        {"2049", false, 4, "4"},
        {"-3", false, 4, "4"},
        // The low 32 bits would be 2.
        {"4294967298", false, 4, "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Session session(pllSettings());
        if (!c.accepted) {
            session.acceptNextBox();
        }
        session.enterPasted(ids::kTeilungsfaktorEdit, c.typed);
        EXPECT_EQ(session.window.text(ids::kTeilungsfaktorEdit), c.shown);
        EXPECT_EQ(session.settings.pllFaktor, 4U) << "stored before closing";
        if (c.accepted) {
            EXPECT_TRUE(session.boxes().empty());
        } else {
            ASSERT_EQ(session.boxes().size(), 1U);
            EXPECT_EQ(session.boxes()[0].box, refusal(kFactorRefusal));
        }
        session.window.setText(ids::kOffsetEdit, "0");
        session.window.click(res::kIdCancel);
        EXPECT_TRUE(session.window.ended());
        EXPECT_EQ(session.settings.pllFaktor, c.stored);
    }
}

TEST(CPLLDlgTest, OffsetWithinTwoMillionKilohertzIsFormattedAndTakenOnClosing) {
    struct Case {
        const char* typed;
        bool accepted;
        std::int32_t stored;  ///< `pllOffset` after closing
        const char* shown;    ///< the offset's text after Enter
    };
    const std::vector<Case> cases = {
        {"2000000", true, 200000000, "2000000.00"},
        {"-100,5", true, -10050, "-100.50"},
        {"0", true, 0, "0.00"},
        {"2000000,01", false, -10000, "-100.00"},
        {"-2000000,01", false, -10000, "-100.00"},
        // Beyond 32 bits: the low 32 bits would be 1.
        {"42949672.97", false, -10000, "-100.00"},
        {"1e300", false, -10000, "-100.00"},
        {"nan", false, -10000, "-100.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Session session(pllSettings());
        if (!c.accepted) {
            session.acceptNextBox();
        }
        session.enter(ids::kOffsetEdit, c.typed);
        EXPECT_EQ(session.window.text(ids::kOffsetEdit), c.shown);
        EXPECT_EQ(session.settings, pllSettings()) << "nothing stored before closing";
        if (c.accepted) {
            EXPECT_TRUE(session.boxes().empty());
        } else {
            ASSERT_EQ(session.boxes().size(), 1U);
            EXPECT_EQ(session.boxes()[0].box, refusal(kOffsetRefusal));
        }
        session.window.click(res::kIdCancel);
        EXPECT_TRUE(session.window.ended());
        EXPECT_EQ(session.settings.pllOffset, c.stored);
    }
}

TEST(CPLLDlgTest, ANegativeOffsetRaisesTheLeastFrequencyOnClosing) {
    struct Case {
        const char* name;
        const char* factor;
        const char* offset;
        std::uint32_t minimumBefore, frequencyBefore;  ///< in 0.01 Hz
        std::uint32_t minimumAfter, frequencyAfter;
    };
    const std::vector<Case> cases = {
        {"both raised", "1", "-100", 5000000, 8000000, 10000000, 10000000},
        {"only the minimum raised", "1", "-100", 5000000, 12000000, 10000000, 12000000},
        {"a larger minimum stays", "1", "-100", 12000000, 12500000, 12000000, 12500000},
        {"divided by the factor", "4", "-100", 25, 100, 2500000, 2500000},
        {"rounded up", "3", "-0,01", 25, 25, 334, 334},
        {"largest offset, largest factor", "2048", "-2000000", 25, 100000, 97656250, 97656250},
        {"positive offset changes nothing", "1", "100", 5000000, 1000000, 5000000, 1000000},
        {"zero offset changes nothing", "1", "0", 5000000, 1000000, 5000000, 1000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GeneratorSettings s = pllSettings();
        s.minimalfrequenz = c.minimumBefore;
        s.frequenz = c.frequencyBefore;
        Session session(s);
        session.window.type(ids::kTeilungsfaktorEdit, c.factor);
        session.window.type(ids::kOffsetEdit, c.offset);
        session.window.pressCloseBox();

        ASSERT_TRUE(session.window.ended());
        EXPECT_TRUE(session.boxes().empty());
        EXPECT_EQ(session.settings.minimalfrequenz, c.minimumAfter);
        EXPECT_EQ(session.settings.frequenz, c.frequencyAfter);
        EXPECT_EQ(session.sentLetters(), "");
    }
}

TEST(CPLLDlgTest, ALeastFrequencyAbove30MegahertzOrTheMaximumIsRefusedOnEveryWayOfClosing) {
    struct Case {
        const char* factor;
        const char* offset;
        std::uint32_t minimum, maximum;  ///< in 0.01 Hz
        std::string message;
    };
    const std::vector<Case> cases = {
        {"1", "-2000000,00", 5000000, 3000000000U, std::string(kLeastFrequencyRefusal)},
        {"2", "-100", 500000, 2000000,
         "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz "
         "von 20000.00 Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den "
         "Offset."},
    };
    for (const Case& c : cases) {
        for (const CloseWay& way : kCloseWays) {
            SCOPED_TRACE(std::string(c.offset) + " " + way.name);
            GeneratorSettings before = pllSettings();
            before.minimalfrequenz = c.minimum;
            before.maximalfrequenz = c.maximum;
            before.frequenz = c.minimum;
            Session session(before);
            session.window.type(ids::kTeilungsfaktorEdit, c.factor);
            session.window.type(ids::kOffsetEdit, c.offset);
            session.acceptNextBox();
            way.close(session.window);

            EXPECT_FALSE(session.window.ended());
            ASSERT_EQ(session.boxes().size(), 1U);
            EXPECT_EQ(session.boxes()[0].box, refusal(c.message, "Eingabefehler"));
            EXPECT_EQ(session.window.text(ids::kTeilungsfaktorEdit), "4");
            EXPECT_EQ(session.window.text(ids::kOffsetEdit), "-100.00");
            EXPECT_EQ(session.settings, before);
        }
    }
}

TEST(CPLLDlgTest, EveryWayOfClosingStopsAtTheFirstRefusedFieldOrStoresBothAndCloses) {
    for (const CloseWay& way : kCloseWays) {
        SCOPED_TRACE(way.name);
        Session session(pllSettings());
        session.window.type(ids::kTeilungsfaktorEdit, "2049");
        session.window.type(ids::kOffsetEdit, "abc");
        session.acceptNextBox();
        way.close(session.window);

        EXPECT_FALSE(session.window.ended());
        ASSERT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.boxes()[0].box, refusal(kFactorRefusal));
        EXPECT_EQ(session.window.text(ids::kTeilungsfaktorEdit), "4");
        EXPECT_EQ(session.window.text(ids::kOffsetEdit), "abc");
        EXPECT_EQ(session.settings, pllSettings());

        session.window.type(ids::kTeilungsfaktorEdit, "16");
        session.window.type(ids::kOffsetEdit, "250,25");
        way.close(session.window);

        ASSERT_TRUE(session.window.ended());
        EXPECT_EQ(session.window.result(), res::kIdCancel);
        EXPECT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.settings.pllFaktor, 16U);
        EXPECT_EQ(session.settings.pllOffset, 25025);
        EXPECT_EQ(session.sentLetters(), "");
    }
}

TEST(CPLLDlgTest, EnterDoesNotApplyTheLeastFrequencyNorClose) {
    Session session(pllSettings());
    session.window.type(ids::kTeilungsfaktorEdit, "1");
    session.enter(ids::kOffsetEdit, "-2000000");
    session.window.setFocus(ids::kTeilungsfaktorEdit);
    session.window.pressEnter();
    EXPECT_TRUE(session.boxes().empty());
    EXPECT_FALSE(session.window.ended());
    EXPECT_EQ(session.window.text(ids::kOffsetEdit), "-2000000.00");
    EXPECT_EQ(session.settings, pllSettings());
}

// A script changes the offset while the dialog is open: it shows where the user has not typed,
// and the closing edit carries only what the user changed, over the script's offset, with every
// PLL command the window sends.
TEST(CPLLDlgTest, FollowsAnotherFrontEndsChangeAndClosesWithOnlyTheUsersFields) {
    struct Case {
        const char* name;
        bool typedOffsetFirst;  ///< the user typed an offset before the script's arrived
        const char* offsetShown;
        std::int32_t offset;  ///< in 0.01 kHz
    };
    for (const Case& c : std::vector<Case>{
             {"the user's factor, the script's offset", false, "-50.00", -5000},
             {"the user's typed offset wins", true, "-20", -2000},
         }) {
        SCOPED_TRACE(c.name);
        Session session(pllSettings());
        if (c.typedOffsetFirst) {
            session.window.type(ids::kOffsetEdit, "-20");
        }
        session.connection.model.apply(
            model::Edit::field(settingsFieldIndex("PLL-Offset"), -5000, "o"),
            session.connection.script());
        EXPECT_EQ(session.window.text(ids::kOffsetEdit), c.offsetShown);
        session.window.type(ids::kTeilungsfaktorEdit, "8");
        session.window.click(res::kIdCancel);
        ASSERT_TRUE(session.window.ended());
        session.connection.generator.clearReceived();
        session.connection.model.apply(session.dialog.edit(), session.connection.script());
        EXPECT_EQ(session.sentLetters(), model::kPllCommands);
        EXPECT_EQ(session.connection.generator.settings().pllFaktor, 8U);
        EXPECT_EQ(session.connection.generator.settings().pllOffset, c.offset);
    }
}

}  // namespace
}  // namespace tavero::dialogs
