// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DialogSession.h"
#include "dialogs/signal/CModulationDlg.h"
#include "res/ModulationTemplate.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::modulation;

constexpr std::string_view kModulationsfrequenzRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.1 Hz\nMinimalfrequenz: 1.0 Hz\nMaximalfrequenz: 5000.0 Hz";

/// Modulation frequency 1000.0 Hz, phase deviation 90°, frequency deviation 10000.00 Hz,
/// depth 80 %.
GeneratorSettings modulationSettings(std::uint8_t bits = 0) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.modulationseinstellungen = bits;
    s.modulationsfrequenz = 10000;
    s.phasenhub = 90;
    s.frequenzhub = 1000000;
    s.amplitudenhub = 80;
    return s;
}

/// The `m` payload after the letter for modulationSettings() with these bits.
Bytes sampleArguments(std::uint8_t bits) {
    return {bits, 0, 0, 0, 0, 0x00, 0x0F, 0x42, 0x40, 0x00, 0x5A, 80, 0x27, 0x10};
}

using Session = DialogSession<CModulationDlg>;

TEST(CModulationDlgTest, OpensShowingTheValuesAndTheTickedBits) {
    struct Case {
        std::uint8_t bits;
        int source;
        int keying;
        bool am;
    };
    const std::vector<Case> cases = {
        {0x00, ids::kIntern, ids::kFsk, false}, {0x01, ids::kIntern, ids::kFsk, true},
        {0x02, ids::kExtern, ids::kFsk, false}, {0x04, ids::kIntern, ids::kPsk, false},
        {0x08, ids::kIntern, ids::kAsk, false}, {0x0C, ids::kIntern, ids::kAsk, false},
        {0xF7, ids::kExtern, ids::kPsk, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.bits));
        Session session(modulationSettings(c.bits));
        for (const int radio : {ids::kIntern, ids::kExtern, ids::kPsk, ids::kFsk, ids::kAsk}) {
            EXPECT_EQ(session.window.isChecked(radio), radio == c.source || radio == c.keying)
                << radio;
        }
        EXPECT_EQ(session.window.isChecked(ids::kAm), c.am);
        EXPECT_EQ(session.window.text(ids::kModulationsfrequenzEdit), "1000.0");
        EXPECT_EQ(session.window.text(ids::kPhasenhubEdit), "90");
        EXPECT_EQ(session.window.text(ids::kFrequenzhubEdit), "10000.00");
        EXPECT_EQ(session.window.text(ids::kModulationshubEdit), "80");
        EXPECT_EQ(session.sentLetters(), "");
    }
}

TEST(CModulationDlgTest, EachClickChangesItsBitsAndSendsTheStoredValuesAtOnce) {
    struct Case {
        const char* name;
        std::uint8_t before;
        int clicked;
        std::uint8_t after;
    };
    const std::vector<Case> cases = {
        {"PSK from both keying bits", 0x0C, ids::kPsk, 0x04},
        {"ASK", 0x00, ids::kAsk, 0x08},
        {"FSK", 0x05, ids::kFsk, 0x01},
        {"extern keeps the other bits", 0xF0, ids::kExtern, 0xF2},
        {"intern", 0xF2, ids::kIntern, 0xF0},
        {"AM ticked", 0x0C, ids::kAm, 0x0D},
        {"AM cleared", 0x0D, ids::kAm, 0x0C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session session(modulationSettings(c.before));
        session.window.type(ids::kModulationsfrequenzEdit, "2000");
        session.window.type(ids::kFrequenzhubEdit, "-5");
        session.window.click(c.clicked);
        EXPECT_EQ(session.settings.modulationseinstellungen, c.after);
        EXPECT_EQ(session.sentLetters(), "m");
        EXPECT_EQ(session.lastArguments(), sampleArguments(c.after));
        EXPECT_EQ(session.window.text(ids::kModulationsfrequenzEdit), "2000");
        EXPECT_EQ(session.window.text(ids::kFrequenzhubEdit), "-5");
    }
}

TEST(CModulationDlgTest, EnterStoresAnAcceptedValueOrRefusesItAndSendsEitherWay) {
    expectEntries<CModulationDlg>(
        modulationSettings(),
        {
            {"Modulationsfrequenz",
             ids::kModulationsfrequenzEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.modulationsfrequenz; },
             kModulationsfrequenzRefusal,
             {
                 {"1", true, 10, "1.0"},
                 {"5000", true, 50000, "5000.0"},
                 {"2,5 Hz", true, 25, "2.5"},
                 {"0,9", false, 10000, "1000.0"},
                 {"5000,1", false, 10000, "1000.0"},
                 // 4294967306 tenths: the low 32 bits would be 10, a valid 1.0 Hz.
                 {"429496730.6", false, 10000, "1000.0"},
             }},
            {"Phasenhub",
             ids::kPhasenhubEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.phasenhub; },
             "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
             "Auflösung: 1°\nMinimalphase: 1°\nMaximalphase: 359°",
             {
                 {"359", true, 359, "359"},
                 {"1", true, 1, "1"},
                 {"45,9", true, 45, "45", true},
                 {"0", false, 90, "90"},
                 {"360", false, 90, "90"},
                 {"-1", false, 90, "90", true},
                 // The low 32 bits would be 1.
                 {"4294967297", false, 90, "90"},
             }},
            {"Frequenzhub",
             ids::kFrequenzhubEdit,
             [](const GeneratorSettings& s) -> std::int64_t { return s.frequenzhub; },
             "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
             "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\nMaximalfrequenz: 30000000.00 Hz",
             {
                 {"-1000", true, -100000, "-1000.00"},
                 {"0", true, 0, "0.00"},
                 {"0,25", true, 25, "0.25"},
                 {"25000000", true, 2500000000, "25000000.00"},
                 {"30000000", true, 3000000000, "30000000.00"},
                 {"-30000000", true, -3000000000, "-30000000.00"},
                 {"30000000.25", false, 1000000, "10000.00"},
                 {"-30000000.25", false, 1000000, "10000.00"},
                 {"0.3", false, 1000000, "10000.00"},
                 {"1e300", false, 1000000, "10000.00"},
                 {"-inf", false, 1000000, "10000.00"},
                 {"nan", false, 1000000, "10000.00"},
             }},
        },
        "m");
}

TEST(CModulationDlgTest, ANegativeDeviationGoesAsSixtyFourBitTwosComplement) {
    Session session(modulationSettings(kPmArtPsk));
    session.enter(ids::kFrequenzhubEdit, "-1000");
    EXPECT_EQ(session.lastArguments(), (Bytes{0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x79, 0x60,
                                              0x00, 0x5A, 80, 0x27, 0x10}));
}

TEST(CModulationDlgTest, EnterOutsideTheFieldsChecksAndSendsNothing) {
    Session session(modulationSettings());
    session.window.type(ids::kPhasenhubEdit, "0");
    session.window.setFocus(ids::kPsk);
    session.window.pressEnter();
    EXPECT_EQ(session.window.text(ids::kPhasenhubEdit), "0");
    EXPECT_TRUE(session.boxes().empty());
    EXPECT_EQ(session.sentLetters(), "");
}

TEST(CModulationDlgTest, EveryWayOfClosingStopsAtTheFirstRefusedFieldOrStoresSendsAndCloses) {
    for (const CloseWay& way : kCloseWays) {
        SCOPED_TRACE(way.name);
        Session session(modulationSettings());
        session.window.type(ids::kModulationsfrequenzEdit, "0,9");
        session.window.type(ids::kPhasenhubEdit, "0");
        session.window.type(ids::kFrequenzhubEdit, "0.3");
        session.acceptNextBox();
        way.close(session.window);

        EXPECT_FALSE(session.window.ended());
        ASSERT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.boxes()[0].box, refusal(kModulationsfrequenzRefusal));
        EXPECT_EQ(session.window.text(ids::kModulationsfrequenzEdit), "1000.0");
        EXPECT_EQ(session.window.text(ids::kPhasenhubEdit), "0");
        EXPECT_EQ(session.window.text(ids::kFrequenzhubEdit), "0.3");
        EXPECT_EQ(session.settings, modulationSettings());
        EXPECT_EQ(session.sentLetters(), "");

        session.window.type(ids::kModulationsfrequenzEdit, "2,5");
        session.window.type(ids::kPhasenhubEdit, "180");
        session.window.type(ids::kFrequenzhubEdit, "-0,25");
        way.close(session.window);

        ASSERT_TRUE(session.window.ended());
        EXPECT_EQ(session.window.result(), res::kIdCancel);
        EXPECT_EQ(session.boxes().size(), 1U);
        EXPECT_EQ(session.settings.modulationsfrequenz, 25U);
        EXPECT_EQ(session.settings.phasenhub, 180U);
        EXPECT_EQ(session.settings.frequenzhub, -25);
        EXPECT_EQ(session.sentLetters(), "m");
    }
}

TEST(CModulationDlgTest, AFailedSendIsReportedAndTheClickedBitsStay) {
    Session session(modulationSettings());
    session.connection.generator.injectFault(sim::Fault::kNak, 'm');
    session.acceptNextBox();
    session.window.click(ids::kAsk);
    ASSERT_EQ(session.boxes().size(), 1U);
    EXPECT_EQ(session.boxes()[0].box,
              (ui::MessageBoxRequest{"Antwort nicht OK", "Übertragungsfehler", ui::Icon::Error,
                                     ui::Buttons::Ok}));
    EXPECT_EQ(session.settings.modulationseinstellungen, kPmArtAsk);
    EXPECT_FALSE(session.window.ended());
}

}  // namespace
}  // namespace tavero::dialogs
