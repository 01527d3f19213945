// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "link/MessageSink.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::model {
namespace {

/// Keeps every message it is given.
class KeptMessages final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view /*caption*/) override {
        texts.emplace_back(text);
    }
    std::vector<std::string> texts;
};

/// Writes down every notice, as "origin:fields:taken" or "connection:event".
class NoticeLog final : public GeneratorObserver {
public:
    void settingsChanged(const SettingsNotice& n) override {
        entries.push_back(n.origin.client + ":" + n.fields.to_string() + ":" +
                          (n.taken ? "taken" : "refused"));
    }
    void connectionChanged(const ConnectionNotice& n) override {
        entries.push_back("connection:" + std::to_string(static_cast<int>(n.event)));
    }
    void remoteControlChanged() override { entries.emplace_back("remote"); }
    std::vector<std::string> entries;
};

std::string fieldsText(std::initializer_list<const char*> keys) {
    FieldSet set;
    for (const char* key : keys) {
        set.set(settingsFieldIndex(key));
    }
    return set.to_string();
}

class GeneratorModelTest : public ::testing::Test {
protected:
    GeneratorModelTest() {
        generator.setSettings(GeneratorSettings::emptyProfile());
        model.subscribe(log);
    }
    ~GeneratorModelTest() override { model.unsubscribe(log); }

    Requester by(const char* client) { return {{FrontEnd::kScpi, client}, messages}; }
    void connect() {
        ASSERT_EQ(model.connect(by("c")), link::ConnectResult::kConnected);
        ASSERT_TRUE(model.readParameters(by("c")));
        generator.clearReceived();
        log.entries.clear();
    }

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    link::TraceFile trace{{}};
    std::ostringstream diagnostics;
    GeneratorModel model{bridge, trace, diagnostics};
    KeptMessages messages;
    NoticeLog log;
};

TEST_F(GeneratorModelTest, AnEditTakesItsFieldsAndSendsTheRecordAsItIsThen) {
    connect();
    // A draft taken before another front end changed the stop: only the start goes in.
    GeneratorSettings draft = model.settings();
    draft.wobbelStartfrequenz = 30000;
    ASSERT_TRUE(model.apply(Edit::field(settingsFieldIndex("Wobbel-Stoppfrequenz"), 500000, ""),
                            by("script")));
    ASSERT_TRUE(
        model.apply(Edit::fromDraft(GeneratorSettings::emptyProfile(), draft, "w"), by("window")));

    EXPECT_EQ(generator.receivedLetters(), "w");
    EXPECT_EQ(generator.settings().wobbelStartfrequenz, 30000U);
    EXPECT_EQ(generator.settings().wobbelStoppfrequenz, 500000U);
    EXPECT_EQ(log.entries, (std::vector<std::string>{
                               "script:" + fieldsText({"Wobbel-Stoppfrequenz"}) + ":taken",
                               "window:" + fieldsText({"Wobbel-Startfrequenz"}) + ":taken"}));
}

TEST_F(GeneratorModelTest, AFailedExchangeKeepsTheRecordUnlessTheEditRestoresIt) {
    struct Case {
        bool restore;
        std::uint32_t frequenzAfter;
        std::string notice;
    };
    const Case cases[] = {
        {false, 200000, "c:" + fieldsText({"Frequenz"}) + ":refused"},
        {true, 100000, "c:" + fieldsText({}) + ":refused"},
    };
    connect();
    for (const Case& c : cases) {
        generator.injectFault(sim::Fault::kNak, 'p');
        GeneratorSettings wanted = model.settings();
        wanted.frequenz = 200000;
        Edit edit = Edit::whole(wanted);
        edit.restoreOnFailure = c.restore;
        EXPECT_FALSE(model.apply(edit, by("c")));
        EXPECT_EQ(model.settings().frequenz, c.frequenzAfter);
        EXPECT_EQ(log.entries, std::vector<std::string>{c.notice});
        EXPECT_EQ(messages.texts.size(), 1U);
        messages.texts.clear();
        ASSERT_TRUE(model.apply(Edit::whole(GeneratorSettings::emptyProfile()), by("c")));
        log.entries.clear();
    }
}

TEST_F(GeneratorModelTest, AGeneratorFoundGoneIsToldOnceAndNothingMoreIsSent) {
    connect();
    generator.unplug();
    EXPECT_FALSE(model.apply(Edit::resend("fgs"), by("c")));
    model.watch();
    EXPECT_FALSE(model.connected());
    EXPECT_TRUE(model.lost());
    EXPECT_EQ(messages.texts.size(), 1U);
    EXPECT_EQ(log.entries,
              (std::vector<std::string>{"connection:" + std::to_string(int(ConnectionEvent::kLost)),
                                        "c:" + fieldsText({}) + ":refused"}));
}

TEST_F(GeneratorModelTest, TheWatchFindsAVanishedGeneratorWithoutSendingAnything) {
    connect();
    model.watch();
    EXPECT_EQ(log.entries, std::vector<std::string>{});
    generator.unplug();
    model.watch();
    EXPECT_EQ(generator.receivedLetters(), "");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"connection:" +
                                                     std::to_string(int(ConnectionEvent::kLost))}));
}

TEST_F(GeneratorModelTest, OnlyAServerConnectsOnDemand) {
    EXPECT_FALSE(model.ensureConnected(by("c")));
    GeneratorModel server(bridge, trace, diagnostics, ConnectPolicy::kOnDemand);
    EXPECT_TRUE(server.ensureConnected(by("c")));
    EXPECT_EQ(generator.receivedLetters(), "xP");
    EXPECT_TRUE(server.ensureConnected(by("c")));
    EXPECT_EQ(generator.receivedLetters(), "xP");
}

TEST_F(GeneratorModelTest, TheWindowIsLockedByALockOrALockoutUntilItGoesLocal) {
    struct Step {
        void (*act)(GeneratorModel&);
        bool locked;
    };
    const Step steps[] = {
        {[](GeneratorModel& m) { m.setLockHolder("192.0.2.7"); }, true},
        {[](GeneratorModel& m) { m.goLocal(); }, false},
        {[](GeneratorModel& m) { m.setLockout(true); }, true},
        {[](GeneratorModel& m) { m.setLockout(false); }, false},
        {[](GeneratorModel& m) { m.setLockHolder(""); }, false},
        {[](GeneratorModel& m) { m.setLockHolder("192.0.2.8"); }, true},
        {[](GeneratorModel& m) { m.setLockHolder(""); }, false},
    };
    for (const Step& step : steps) {
        step.act(model);
        EXPECT_EQ(model.remoteControl().windowLocked(), step.locked);
    }
    EXPECT_EQ(log.entries.size(), std::size(steps));
}

}  // namespace
}  // namespace tavero::model
