// SPDX-License-Identifier: GPL-3.0-or-later
// The main window while other front ends act on its generator.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "link/MessageSink.h"
#include "model/Edit.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/MainWindowIds.h"
#include "res/StandardIds.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

class DroppedMessages final : public link::MessageSink {
public:
    void showError(std::string_view /*text*/, std::string_view /*caption*/) override {}
};

class RemoteTest : public MainWindowTest {
protected:
    model::GeneratorModel& generator() { return generatorModel_->model; }
    /// A SCPI client's change of one field, with its command.
    void scriptSets(const char* key, std::int64_t value, const char* command) {
        generator().apply(model::Edit::field(settingsFieldIndex(key), value, command),
                          {{model::FrontEnd::kScpi, "192.0.2.7"}, dropped_});
    }

    DroppedMessages dropped_;
};

TEST_F(RemoteTest, AScriptsChangeShowsInTheDigitsTheEntryFieldsAndTheIndicator) {
    HeadlessWindow& window = openConnected();
    EXPECT_FALSE(window.isVisible(res::kButtonLocal));
    scriptSets("Frequenz", 123450, "f");
    scriptSets("Signalform", 2, "s");
    host_->advance(1);
    EXPECT_EQ(frequencyDigits(), "    123450");
    EXPECT_EQ(window.text(res::kEditFrequency), "1234.50");
    EXPECT_TRUE(window.isChecked(res::kRadioSinus + 2));
    EXPECT_TRUE(window.isVisible(res::kButtonLocal));
    EXPECT_EQ(window.text(res::kLabelRemoteClient), "192.0.2.7");
    EXPECT_EQ(received(), "fs");
    // The indicator goes a while after the last change.
    host_->advance(3000);
    EXPECT_FALSE(window.isVisible(res::kButtonLocal));
}

TEST_F(RemoteTest, ALockOrLockoutMakesTheWindowReadOnlyUntilReleasedOrLocal) {
    struct Case {
        const char* name;
        std::function<void(model::GeneratorModel&)> take;
        std::function<void(model::GeneratorModel&, HeadlessWindow&)> release;
    };
    const std::vector<Case> cases = {
        {"lock, unlock", [](model::GeneratorModel& g) { g.setLockHolder("192.0.2.7"); },
         [](model::GeneratorModel& g, HeadlessWindow&) { g.setLockHolder(""); }},
        {"lock, Lokal", [](model::GeneratorModel& g) { g.setLockHolder("192.0.2.7"); },
         [](model::GeneratorModel&, HeadlessWindow& w) { w.click(res::kButtonLocal); }},
        {"SYST:RWL, SYST:LOC", [](model::GeneratorModel& g) { g.setLockout(true); },
         [](model::GeneratorModel& g, HeadlessWindow&) { g.setLockout(false); }},
        {"SYST:RWL, Lokal", [](model::GeneratorModel& g) { g.setLockout(true); },
         [](model::GeneratorModel&, HeadlessWindow& w) { w.click(res::kButtonLocal); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        HeadlessWindow& window = openConnected();
        c.take(generator());
        EXPECT_TRUE(window.isVisible(res::kButtonLocal));
        EXPECT_FALSE(window.isEnabled(res::kEditFrequency));
        // The menu refuses too: the sweep dialog would ask the host to open it.
        window.chooseMenu(res::kMenuSweep);
        EXPECT_TRUE(host_->messageBoxes().empty());
        c.release(generator(), window);
        EXPECT_TRUE(window.isEnabled(res::kEditFrequency));
        window.click(res::kButtonFrequencyUp);
        EXPECT_EQ(received(), "f");
        window.pressEscape();
    }
}

TEST_F(RemoteTest, ATaskListStepShowsInTheWindowUntilTheListGivesTheSettingsBack) {
    GeneratorSettings own = GeneratorSettings::emptyProfile();
    own.frequenz = 500000;
    openConnected(own);
    std::string shownWhilePlaying;
    host_->scriptModal(res::aufgabenliste::kDialogId, [&](HeadlessWindow& taskList) {
        taskList.click(res::aufgabenliste::kAdd);  // the first stored profile: 1000.00 Hz
        taskList.click(res::aufgabenliste::kStart);
        host_->advance(1);
        shownWhilePlaying = frequencyDigits();
        taskList.click(res::kIdCancel);
    });
    window_->click(res::kButtonTaskList);
    EXPECT_EQ(shownWhilePlaying, "    100000");
    EXPECT_EQ(frequencyDigits(), "    500000");
    EXPECT_FALSE(window_->isVisible(res::kButtonLocal));
}

}  // namespace
}  // namespace tavero::app::testing
