// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "TaskListSession.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

constexpr std::string_view kDurationRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n Wertebereich : 1s - 3600s";

std::vector<std::string> rowsOf(const TaskListSession& session) {
    return session.window.rows(ids::kEntryList);
}

std::vector<std::int32_t> elementNumbers(const store::TaskList& list) {
    std::vector<std::int32_t> numbers;
    for (const TaskEntry& entry : list.entries) {
        numbers.push_back(entry.elementNr);
    }
    return numbers;
}

TEST(CAufgabenlisteDlgTest, OpensWithTheStoredProfilesAndAnEmptyList) {
    TaskListSession session;
    const auto& w = session.window;
    EXPECT_EQ(w.rows(ids::kProfileCombo),
              (std::vector<std::string>{"1: Sinus 1 kHz", "2: Sinus 2 kHz", "3: Sinus 3 kHz"}));
    EXPECT_EQ(w.selectedRow(ids::kProfileCombo), 0);
    EXPECT_EQ(w.text(ids::kDurationEdit), "1");
    EXPECT_EQ(w.minimum(ids::kDurationSpin), 1);
    EXPECT_EQ(w.maximum(ids::kDurationSpin), 3600);
    EXPECT_EQ(w.position(ids::kDurationSpin), 1);
    EXPECT_FALSE(w.isChecked(ids::kLoopCheck));
    EXPECT_EQ(session.enabledButtons(), kEmptyButtons);
    EXPECT_EQ(w.text(ids::kRemainingEdit), "");
    EXPECT_EQ(w.text(ids::kCurrentNameEdit), "");
    EXPECT_EQ(w.rowCount(ids::kEntryList), 0);
    EXPECT_EQ(w.timerPeriod(1), std::nullopt);
    EXPECT_TRUE(session.sentImages().empty());
}

TEST(CAufgabenlisteDlgTest, EachSituationSetsTheCommandButtonsOfItsRow) {
    struct Case {
        const char* situation;
        std::function<void(TaskListSession&)> act;
        std::string_view enabled;
    };
    const std::vector<Case> cases = {
        {"opened", [](TaskListSession&) {}, kEmptyButtons},
        {"added", [](TaskListSession& s) { s.add(0, "2"); }, kReadyButtons},
        {"reset",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.window.click(ids::kReset);
         },
         kEmptyButtons},
        {"removed the last",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.window.chooseRow(ids::kEntryList, 0);
             s.window.click(ids::kRemove);
         },
         kEmptyButtons},
        {"removed one of two",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.add(1, "2");
             s.window.chooseRow(ids::kEntryList, 0);
             s.window.click(ids::kRemove);
         },
         kReadyButtons},
        {"running",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.window.click(ids::kStart);
         },
         kRunningButtons},
        {"added with Enter while running",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.window.click(ids::kStart);
             s.addByEnter(1, "5");
         },
         kRunningButtons},
        {"stopped",
         [](TaskListSession& s) {
             s.add(0, "2");
             s.window.click(ids::kStart);
             s.window.click(ids::kStop);
         },
         kReadyButtons},
        {"run to its end",
         [](TaskListSession& s) {
             s.add(0, "1");
             s.window.click(ids::kStart);
             s.tick();
         },
         kReadyButtons},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        TaskListSession session;
        c.act(session);
        EXPECT_EQ(session.enabledButtons(), c.enabled);
        // These stay usable in every situation, a run included.
        for (const int id : {ids::kProfileCombo, ids::kDurationEdit, ids::kDurationSpin,
                             ids::kLoopCheck, res::kIdCancel}) {
            EXPECT_TRUE(session.window.isEnabled(id)) << id;
        }
    }
}

TEST(CAufgabenlisteDlgTest, TheDurationFieldRefusesWhatLiesOutsideOneToThreeThousandSixHundred) {
    struct Case {
        const char* text;
        bool pasted;  ///< past the digits-only filter
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"0", false, false},   {"3601", false, false},        {"-5", true, false},
        {"abc", true, false},  {"99999999999", false, false}, {"1", false, true},
        {"3600", false, true}, {"0042", false, true},
    };
    for (const bool byEnter : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.text) + (byEnter ? " by Enter" : " by button"));
            TaskListSession session;
            session.window.stepSpin(ids::kDurationSpin, 6);
            if (c.pasted) {
                session.window.setText(ids::kDurationEdit, c.text);
                session.window.setFocus(ids::kDurationEdit);
            } else {
                session.window.type(ids::kDurationEdit, c.text);
            }
            if (byEnter) {
                session.window.pressEnter();
            } else {
                session.window.click(ids::kAdd);
            }
            EXPECT_FALSE(session.window.ended());
            if (c.accepted) {
                const int seconds = std::stoi(c.text);
                EXPECT_TRUE(session.host.messageBoxes().empty());
                EXPECT_EQ(rowsOf(session),
                          (std::vector<std::string>{
                              "Sinus 1 kHz, Dauer: " + std::to_string(seconds) + " s"}));
                EXPECT_EQ(session.window.position(ids::kDurationSpin), seconds);
            } else {
                ASSERT_EQ(session.host.messageBoxes().size(), 1U);
                EXPECT_EQ(session.host.messageBoxes()[0].box,
                          (ui::MessageBoxRequest{std::string(kDurationRefusal), "Eingabefehler",
                                                 ui::Icon::Warning, ui::Buttons::Ok}));
                EXPECT_EQ(rowsOf(session), std::vector<std::string>{});
                EXPECT_EQ(session.window.text(ids::kDurationEdit), "7");
                EXPECT_EQ(session.enabledButtons(), kEmptyButtons);
            }
        }
    }
}

TEST(CAufgabenlisteDlgTest, AddingWithoutAnyStoredProfileAddsNothing) {
    TaskListSession session(std::vector<StoredProfile>{});
    EXPECT_EQ(session.window.rowCount(ids::kProfileCombo), 0);
    session.window.type(ids::kDurationEdit, "5");
    session.window.click(ids::kAdd);
    session.window.pressEnter();
    EXPECT_EQ(session.window.rowCount(ids::kEntryList), 0);
    EXPECT_EQ(session.enabledButtons(), kEmptyButtons);
    EXPECT_TRUE(session.host.messageBoxes().empty());
}

TEST(CAufgabenlisteDlgTest, NamesAreShownAsStoredEvenWithPercentSigns) {
    const std::string name = "100% %s %d %n";
    TaskListSession session({storedProfile(name, 100000)});
    EXPECT_EQ(session.window.rows(ids::kProfileCombo), std::vector<std::string>{"1: " + name});
    session.add(0, "12");
    EXPECT_EQ(rowsOf(session), std::vector<std::string>{name + ", Dauer: 12 s"});
    session.window.click(ids::kStart);
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), name);
}

TEST(CAufgabenlisteDlgTest, AnEntryKeepsTheProfileAsItWasWhenAdded) {
    TaskListSession session;
    session.add(1, "1");
    const Bytes added = session.imageOf(1);
    session.profiles[1].settings.frequenz = 999975;
    session.window.click(ids::kStart);
    EXPECT_EQ(session.sentImages(), std::vector<Bytes>{added});
}

TEST(CAufgabenlisteDlgTest, RemovingRenumbersTheEntriesAndTheCounter) {
    TaskListSession session;
    session.add(0, "1");
    session.add(1, "2");
    session.add(2, "3");

    session.window.click(ids::kRemove);  // no row selected
    EXPECT_EQ(rowsOf(session).size(), 3U);

    session.window.chooseRow(ids::kEntryList, 1);
    session.window.click(ids::kRemove);
    EXPECT_EQ(rowsOf(session),
              (std::vector<std::string>{"Sinus 1 kHz, Dauer: 1 s", "Sinus 3 kHz, Dauer: 3 s"}));
    EXPECT_EQ(elementNumbers(session.savedList()), (std::vector<std::int32_t>{1, 2}));

    session.add(1, "4");
    const store::TaskList list = session.savedList();
    EXPECT_EQ(elementNumbers(list), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(list.entries[1].profile, session.profiles[2]);
    EXPECT_EQ(list.entries[2].duration, 4U);
}

TEST(CAufgabenlisteDlgTest, ResetEmptiesTheListKeepsTheDisplaysAndRestartsTheNumbers) {
    TaskListSession session;
    session.add(0, "1");
    session.add(1, "1");
    session.window.click(ids::kStart);
    session.window.click(ids::kStop);
    session.window.click(ids::kReset);
    EXPECT_EQ(session.window.rowCount(ids::kEntryList), 0);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "1");
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Sinus 1 kHz");
    session.add(2, "1");
    EXPECT_EQ(elementNumbers(session.savedList()), std::vector<std::int32_t>{1});
}

TEST(CAufgabenlisteDlgTest, ARunHoldsEachEntryForItsSecondsCountedFromStart) {
    TaskListSession session;
    session.add(0, "2");
    session.add(1, "1");
    session.add(2, "3");
    // Start off the whole second: the ticks count from the click.
    session.host.advance(250);
    session.window.click(ids::kStart);
    EXPECT_EQ(session.sentImages(), std::vector<Bytes>{session.imageOf(0)});
    EXPECT_EQ(session.window.timerPeriod(1), 1000);
    EXPECT_EQ(session.window.selectedRow(ids::kEntryList), 0);
    session.host.advance(999);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "2");

    struct Step {
        const char* remaining;
        const char* name;
        int row;
        std::size_t sent;
    };
    const std::vector<Step> steps = {
        {"2", "Sinus 1 kHz", 0, 1},  // Start
        {"1", "Sinus 1 kHz", 0, 1}, {"1", "Sinus 2 kHz", 1, 2}, {"3", "Sinus 3 kHz", 2, 3},
        {"2", "Sinus 3 kHz", 2, 3}, {"1", "Sinus 3 kHz", 2, 3},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("tick " + std::to_string(i));
        if (i > 0) {
            session.host.advance(i == 1 ? 1 : 1000);
        }
        EXPECT_EQ(session.window.text(ids::kRemainingEdit), steps[i].remaining);
        EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), steps[i].name);
        EXPECT_EQ(session.window.selectedRow(ids::kEntryList), steps[i].row);
        EXPECT_EQ(session.sentImages().size(), steps[i].sent);
    }
    EXPECT_EQ(session.enabledButtons(), kRunningButtons);

    session.tick();
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
    EXPECT_EQ(session.window.timerPeriod(1), std::nullopt);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "1");
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Sinus 3 kHz");
    session.host.advance(10000);
    EXPECT_EQ(session.sentImages(),
              (std::vector<Bytes>{session.imageOf(0), session.imageOf(1), session.imageOf(2)}));
    EXPECT_TRUE(session.host.messageBoxes().empty());
}

TEST(CAufgabenlisteDlgTest, ALoopStartsAgainUntilSchleifeIsClearedDuringTheRun) {
    TaskListSession session;
    session.add(0, "1");
    session.add(1, "2");
    session.window.click(ids::kLoopCheck);
    session.window.click(ids::kStart);
    for (int second = 0; second < 6; ++second) {
        session.tick();
    }
    // Sent at 0 (1 kHz), 1 (2 kHz), 3 (1 kHz), 4 (2 kHz), 6 (1 kHz).
    const Bytes first = session.imageOf(0);
    const Bytes second = session.imageOf(1);
    EXPECT_EQ(session.sentImages(), (std::vector<Bytes>{first, second, first, second, first}));

    session.window.click(ids::kLoopCheck);
    session.host.advance(10000);
    EXPECT_EQ(session.sentImages(),
              (std::vector<Bytes>{first, second, first, second, first, second}));
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Sinus 2 kHz");
}

TEST(CAufgabenlisteDlgTest, AnEntryAddedWithEnterDuringARunIsPlayedWhenTheRunReachesIt) {
    TaskListSession session;
    session.add(0, "2");
    session.window.click(ids::kStart);
    session.tick();
    session.addByEnter(2, "1");
    EXPECT_EQ(rowsOf(session),
              (std::vector<std::string>{"Sinus 1 kHz, Dauer: 2 s", "Sinus 3 kHz, Dauer: 1 s"}));
    EXPECT_EQ(session.window.selectedRow(ids::kEntryList), 0);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "1");
    session.tick();
    EXPECT_EQ(session.sentImages(), (std::vector<Bytes>{session.imageOf(0), session.imageOf(2)}));
    EXPECT_EQ(session.window.selectedRow(ids::kEntryList), 1);
    session.tick();
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
}

TEST(CAufgabenlisteDlgTest, AFailedSendStopsTheRunAndLeavesItsEntryShown) {
    TaskListSession session;
    session.add(0, "1");
    session.add(1, "3");
    session.add(2, "1");
    session.window.click(ids::kStart);
    session.connection.generator.injectFault(sim::Fault::kNak, 'p');
    session.tick();

    ASSERT_EQ(session.host.messageBoxes().size(), 1U);
    EXPECT_EQ(session.host.messageBoxes()[0].box,
              (ui::MessageBoxRequest{"Antwort nicht OK", "Übertragungsfehler", ui::Icon::Error,
                                     ui::Buttons::Ok}));
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
    EXPECT_EQ(session.window.timerPeriod(1), std::nullopt);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "3");
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Sinus 2 kHz");
    session.host.advance(10000);
    EXPECT_EQ(session.sentImages().size(), 2U);
    EXPECT_EQ(rowsOf(session).size(), 3U);
}

TEST(CAufgabenlisteDlgTest, AFailedFirstSendLeavesTheListReadyShowingTheFirstEntry) {
    TaskListSession session;
    session.add(1, "5");
    session.add(2, "5");
    session.connection.generator.injectFault(sim::Fault::kNoReply, 'p');
    session.window.click(ids::kStart);
    ASSERT_EQ(session.host.messageBoxes().size(), 1U);
    EXPECT_EQ(session.host.messageBoxes()[0].box.text, "Fehler beim lesen");
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
    EXPECT_EQ(session.window.timerPeriod(1), std::nullopt);
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "5");
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Sinus 2 kHz");
    session.host.advance(10000);
    EXPECT_EQ(session.sentImages().size(), 1U);
}

TEST(CAufgabenlisteDlgTest, EveryWayOfClosingDuringARunStopsItSoNothingIsSentAfterwards) {
    const std::vector<std::pair<const char*, void (*)(headless::HeadlessWindow&)>> ways = {
        {"Schließen", [](headless::HeadlessWindow& w) { w.click(res::kIdCancel); }},
        {"Escape", [](headless::HeadlessWindow& w) { w.pressEscape(); }},
        {"close box", [](headless::HeadlessWindow& w) { w.pressCloseBox(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        TaskListSession session;
        session.add(0, "1");
        session.add(1, "1");
        session.window.click(ids::kLoopCheck);
        session.window.click(ids::kStart);
        session.tick();
        close(session.window);
        EXPECT_TRUE(session.window.ended());
        EXPECT_EQ(session.window.result(), res::kIdCancel);
        EXPECT_EQ(session.window.timerPeriod(1), std::nullopt);
        session.host.advance(10000);
        EXPECT_EQ(session.sentImages().size(), 2U);
    }
}

}  // namespace
}  // namespace tavero::dialogs
