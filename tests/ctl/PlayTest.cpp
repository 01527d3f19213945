// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "ctl/UsageError.h"
#include "store/TaskListFile.h"

namespace tavero::ctl {
namespace {

using namespace std::chrono_literals;

/// Entries told apart by their amplitude (in mV), which is also their number.
GeneratorSettings settingsNumbered(std::uint32_t number) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.amplitude = number;
    return s;
}

class PlayTest : public ToolTest {
protected:
    /// A task list file with entries A, B, C, ... held for the given seconds.
    std::string writeList(const std::vector<std::uint32_t>& durations, bool loop) {
        store::TaskList list;
        list.loop = loop;
        for (std::size_t i = 0; i < durations.size(); ++i) {
            list.entries.push_back({{settingsNumbered(static_cast<std::uint32_t>(i + 1)),
                                     std::string(1, static_cast<char>('A' + i))},
                                    durations[i],
                                    static_cast<std::int32_t>(i + 1)});
        }
        const auto path = folder_ / "list.tvr";
        EXPECT_TRUE(store::writeTaskListFile(writer_, path, list));
        return path.string();
    }

    /// Which entry (by number) the generator received at which moment.
    struct Step {
        std::chrono::milliseconds at;
        std::uint32_t entry;
        friend bool operator==(const Step&, const Step&) = default;
        friend void PrintTo(const Step& step, std::ostream* os) {
            *os << "entry " << step.entry << " at " << step.at.count() << " ms";
        }
    };
    std::vector<Step> steps() const {
        std::vector<Step> steps;
        for (const SentSettings& sent : settingsSent()) {
            for (std::uint32_t n = 1; n <= 26; ++n) {
                if (sent.image == imageOf(settingsNumbered(n))) {
                    steps.push_back({sent.at, n});
                }
            }
        }
        return steps;
    }
};

TEST_F(PlayTest, EachEntryFollowsWhenTheHoldTimeBeforeItHasRunOut) {
    const std::string list = writeList({2, 1, 3}, false);
    EXPECT_EQ(run({"play", list}), kExitSuccess);
    EXPECT_EQ(steps(), (std::vector<Step>{{0s, 1}, {2s, 2}, {3s, 3}}));
    EXPECT_EQ(clock_.now(), 6s);  // the last entry is held before the run ends
    EXPECT_EQ(generator_.receivedLetters(), "xpppx");
    EXPECT_EQ(out_.str(), "1: A, Dauer: 2 s\n2: B, Dauer: 1 s\n3: C, Dauer: 3 s\n");
    EXPECT_EQ(generator_.settings(), settingsNumbered(3));
}

TEST_F(PlayTest, ValuesTheWindowRefusesAreReplacedWithAWarningBeforeAnythingIsSent) {
    store::TaskList list;
    GeneratorSettings loud = GeneratorSettings::emptyProfile();
    loud.amplitude = 5000;
    loud.frequenz = static_cast<std::uint32_t>(-100000);
    list.entries.push_back({{loud, "laut"}, 1, 1});
    const auto path = folder_ / "list.tvr";
    ASSERT_TRUE(store::writeTaskListFile(writer_, path, list));

    EXPECT_EQ(run({"play", path.string()}), kExitSuccess);
    EXPECT_EQ(errors_.str(),
              "tavero-ctl: warning: entry 1: laut holds Frequenz=4294867296, which the window "
              "refuses; Frequenz=100000 of an empty profile is sent instead\n"
              "tavero-ctl: warning: entry 1: laut holds Amplitude=5000, which the window "
              "refuses; Amplitude=500 of an empty profile is sent instead\n");
    EXPECT_EQ(generator_.settings(), GeneratorSettings::emptyProfile());
}

TEST_F(PlayTest, SlowExchangesDoNotShiftTheLaterSteps) {
    const std::string list = writeList({1, 1, 1, 1}, false);
    // Each exchange takes 400 ms of the clock's time.
    onCommand_ = [this] { clock_.waitUntil(clock_.now() + 400ms); };
    EXPECT_EQ(run({"play", list}), kExitSuccess);
    EXPECT_EQ(steps(), (std::vector<Step>{{400ms, 1}, {1400ms, 2}, {2400ms, 3}, {3400ms, 4}}));
}

TEST_F(PlayTest, AnEntryHeldZeroOrNegativeSecondsIsHeldOne) {
    const std::string list = writeList({0, static_cast<std::uint32_t>(-5), 2}, false);
    EXPECT_EQ(run({"play", list}), kExitSuccess);
    EXPECT_EQ(steps(), (std::vector<Step>{{0s, 1}, {1s, 2}, {2s, 3}}));
    EXPECT_EQ(out_.str(), "1: A, Dauer: 1 s\n2: B, Dauer: 1 s\n3: C, Dauer: 2 s\n");
}

TEST_F(PlayTest, TheFileOrTheOptionDecidesWhetherTheRunLoops) {
    struct Case {
        bool fileLoops;
        std::vector<std::string> options;
        bool loops;
    };
    const std::vector<Case> cases = {
        {false, {}, false},        {true, {}, true},         {false, {"--loop"}, true},
        {true, {"--once"}, false}, {true, {"--loop"}, true}, {false, {"--once"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fileLoops ? "Schleife" : "no Schleife") +
                     (c.options.empty() ? "" : " " + c.options.front()));
        generator_.clearReceived();
        clock_ = FakeRunClock();
        clock_.interruptAt(10500ms, SIGINT);
        std::vector<std::string> args = {"play", writeList({1, 2}, c.fileLoops)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const int status = run(args);
        if (c.loops) {
            EXPECT_EQ(status, 130);
            EXPECT_EQ(
                steps(),
                (std::vector<Step>{
                    {0s, 1}, {1s, 2}, {3s, 1}, {4s, 2}, {6s, 1}, {7s, 2}, {9s, 1}, {10s, 2}}));
        } else {
            EXPECT_EQ(status, kExitSuccess);
            EXPECT_EQ(steps(), (std::vector<Step>{{0s, 1}, {1s, 2}}));
        }
    }
}

TEST_F(PlayTest, AnInterruptWhileWaitingStopsAtOnceAndLeavesTheLastEntry) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        generator_.clearReceived();
        clock_ = FakeRunClock();
        out_.str("");
        clock_.interruptAt(2500ms, signal);
        EXPECT_EQ(run({"play", writeList({2, 3600, 1}, false)}), 128 + signal);
        EXPECT_EQ(steps(), (std::vector<Step>{{0s, 1}, {2s, 2}}));
        EXPECT_EQ(clock_.now(), 2500ms);
        EXPECT_EQ(generator_.receivedLetters(), "xppx");
        EXPECT_EQ(generator_.settings(), settingsNumbered(2));
        EXPECT_EQ(out_.str(), "1: A, Dauer: 2 s\n2: B, Dauer: 3600 s\n");
    }
}

TEST_F(PlayTest, AnInterruptDuringAnExchangeLetsItFinishAndSendsNoMore) {
    const std::string list = writeList({1, 1, 1}, true);
    int commands = 0;
    onCommand_ = [&] {
        if (++commands == 3) {  // x, p, then the second p
            clock_.interruptNow(SIGTERM);
        }
    };
    EXPECT_EQ(run({"play", list}), 143);
    EXPECT_EQ(steps(), (std::vector<Step>{{0s, 1}, {1s, 2}}));
    EXPECT_EQ(generator_.receivedLetters(), "xppx");
    EXPECT_EQ(generator_.settings(), settingsNumbered(2));
    EXPECT_EQ(out_.str(), "1: A, Dauer: 1 s\n2: B, Dauer: 1 s\n");
}

TEST_F(PlayTest, AnInterruptDuringTheConnectSendsNoEntry) {
    const std::string list = writeList({1}, true);
    onCommand_ = [this] { clock_.interruptNow(SIGINT); };
    EXPECT_EQ(run({"play", list}), 130);
    EXPECT_EQ(generator_.receivedLetters(), "xx");
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(PlayTest, AFailedSendEndsTheRunWithItsMessage) {
    struct Case {
        sim::Fault fault;
        const char* letters;
        const char* errors;
    };
    const std::vector<Case> cases = {
        {sim::Fault::kNak, "xppx", "Antwort nicht OK\n"},
        // Vanished: no disconnect notice that could only fail, and the step is named.
        {sim::Fault::kUnplug, "xpp",
         "Fehler beim lesen\ntavero-ctl: the generator is gone (unplugged?); play stopped at step "
         "2, 2: B\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        generator_.replug();
        generator_.clearReceived();
        errors_.str("");
        out_.str("");
        const std::string list = writeList({1, 1, 1}, false);
        int commands = 0;
        onCommand_ = [&] {
            if (++commands == 3) {
                generator_.injectFault(c.fault, 'p');
            }
        };
        EXPECT_EQ(run({"play", list}), kExitFailure);
        EXPECT_EQ(generator_.receivedLetters(), c.letters);
        EXPECT_EQ(errors_.str(), c.errors);
        EXPECT_EQ(out_.str(), "1: A, Dauer: 1 s\n");
    }
}

TEST_F(PlayTest, AFileThatCannotBePlayedIsReportedBeforeTheConnect) {
    const std::string missing = (folder_ / "missing.tvr").string();
    EXPECT_EQ(run({"play", missing}), kExitFailure);
    EXPECT_EQ(errors_.str(), "Die Aufgabenliste könnte nicht gelesen werden.\ntavero-ctl: " +
                                 missing + ": Error: File not found\n");

    errors_.str("");
    const auto entity = writeFile("entity.tvr",
                                  "<Playlist Anzahl=\"1\" Schleife=\"0\">\r\n\t<Playlistelement_1 "
                                  "Duration=\"1\">\r\n\t\t&bogus;\r\n\t</Playlistelement_1>\r\n"
                                  "</Playlist>\r\n");
    EXPECT_EQ(run({"play", entity.string()}), kExitFailure);
    EXPECT_NE(errors_.str().find(": Error: Unknown entity (line 3"), std::string::npos);

    errors_.str("");
    const auto tooMany = writeFile("many.tvr", "<Playlist Anzahl=\"100001\"/>");
    EXPECT_EQ(run({"play", tooMany.string()}), kExitFailure);
    EXPECT_NE(errors_.str().find("Anzahl announces more than 100000 entries"), std::string::npos);

    errors_.str("");
    const auto empty = writeFile("empty.tvr", "<Playlist Anzahl=\"0\" Schleife=\"1\"/>\r\n");
    EXPECT_EQ(run({"play", empty.string()}), kExitUsage);
    EXPECT_EQ(errors_.str(),
              "tavero-ctl: the task list " + empty.string() + " holds no entries to play\n");

    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(PlayTest, WhatIsNoTaskListIsAFileFailureNamingTheReason) {
    struct Case {
        std::filesystem::path path;
        std::string reason;
    };
    const Case cases[] = {
        {folder_, ": is a directory\n"},
        {"/dev/zero", ": is not a regular file\n"},
        {writeFile("garbage.tvr", "\x01\x02 no list here"), ": holds no Playlist element\n"},
        {writeFile("declared.tvr", "<?xml version=\"1.0\"?>\r\n<Playlist Anzahl=\"1\"/>\r\n"),
         ": starts with an XML declaration"},
    };
    for (const Case& c : cases) {
        errors_.str("");
        EXPECT_EQ(run({"play", c.path.string()}), kExitFailure) << c.path;
        EXPECT_EQ(
            errors_.str().find("Die Aufgabenliste könnte nicht gelesen werden.\ntavero-ctl: " +
                               c.path.string() + c.reason),
            0U)
            << errors_.str();
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(PlayTest, AListReadInPartIsPlayedWithAWarningNamingTheEntriesNotFromTheFile) {
    const std::string whole = store::fileBytes(writeList({1, 1, 1}, false));
    const std::string end1 = "</Playlistelement_1>\r\n";
    const auto cut = writeFile("cut.tvr", whole.substr(0, whole.find(end1) + end1.size()));
    EXPECT_EQ(run({"play", cut.string()}), kExitSuccess);
    EXPECT_EQ(errors_.str(), "tavero-ctl: warning: " + cut.string() +
                                 " was read only in part (it ends inside an element); entries 2 "
                                 "to 3 are not from the file\n");
}

TEST_F(PlayTest, AClosedOutputStopsTheRunWithTheDisconnectNotice) {
    const std::string list = writeList({1, 1, 1}, false);
    onCommand_ = [this] { out_.setstate(std::ios::badbit); };
    EXPECT_EQ(run({"play", list}), kExitFailure);
    EXPECT_EQ(generator_.receivedLetters(), "xpx");
    EXPECT_EQ(errors_.str(), "tavero-ctl: cannot write to standard output\n");
}

}  // namespace
}  // namespace tavero::ctl
