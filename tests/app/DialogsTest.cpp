// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "res/AmplitudeTemplate.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/ModulationTemplate.h"
#include "res/OffsetTemplate.h"
#include "res/OszillatorTemplate.h"
#include "res/PllTemplate.h"
#include "res/StandardIds.h"
#include "res/WobbelTemplate.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

TEST_F(MainWindowTest, SweepAndModulationDialogsOpenFromButtonAndMenuAndMarkTheSettingsChanged) {
    for (const auto& [templateId, button, menu] :
         {std::tuple{res::wobbel::kDialogId, res::kButtonSweep, res::kMenuSweep},
          std::tuple{res::modulation::kDialogId, res::kButtonModulation, res::kMenuModulation}}) {
        restart();
        openConnected();
        host_->scriptModal(templateId,
                           [](HeadlessWindow& dialog) { dialog.click(res::kIdCancel); });
        window_->pressEnter();  // a refresh, so the flag is set either way...
        window_->click(res::kButtonConnection);
        window_->click(res::kButtonConnection);
        EXPECT_FALSE(dialog_->settingsModified());  // ...and cleared by the connect
        window_->click(button);
        EXPECT_TRUE(dialog_->settingsModified());
        window_->chooseMenu(menu);
        ASSERT_EQ(host_->modalRuns().size(), 2U);
        EXPECT_EQ(host_->modalRuns()[0].templateId, templateId);
    }
}

TEST_F(MainWindowTest, AfterThePllDialogFZTOGoOutInOrderAndTheDisplayFollows) {
    openConnected();
    host_->scriptModal(res::pll::kDialogId, [](HeadlessWindow& pll) {
        pll.type(res::pll::kTeilungsfaktorEdit, "2");
        pll.pressEnter();
        pll.click(res::kIdCancel);
    });
    window_->click(res::kButtonPll);
    EXPECT_EQ(received(), "fzto");
    EXPECT_EQ(lastArguments('t'), (Bytes{0x00, 0x02}));
    EXPECT_EQ(dialog_->outputFrequency(), 200000U);
    EXPECT_EQ(window_->text(res::kEditFrequency), "2000.00");
    EXPECT_EQ(window_->text(res::kLabelFrequencyEdit), "aktuelle Frequenz (PLL)");

    // Even unchanged, and even when one of them fails, all four are sent.
    generator_.clearReceived();
    generator_.injectFault(sim::Fault::kNak, 'z');
    host_->scriptModal(res::pll::kDialogId, [](HeadlessWindow& pll) { pll.click(res::kIdCancel); });
    window_->chooseMenu(res::kMenuPll);
    EXPECT_EQ(received(), "fzto");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Antwort nicht OK"});
}

}  // namespace
}  // namespace tavero::app::testing

namespace tavero::app::testing {
namespace {

TEST_F(MainWindowTest, CalibrationDialogsOpenFromTheirMenuEntriesAndMarkTheSettingsChanged) {
    openConnected();
    for (const auto& [templateId, menu] :
         {std::pair{res::offset::kDialogId, res::kMenuCalibrateOffset},
          std::pair{res::amplitude::kDialogId, res::kMenuCalibrateAmplitude},
          std::pair{res::oszillator::kDialogId, res::kMenuCalibrateFrequency}}) {
        host_->scriptModal(templateId,
                           [](headless::HeadlessWindow& dialog) { dialog.pressEscape(); });
        window_->click(res::kButtonConnection);
        window_->click(res::kButtonConnection);
        EXPECT_FALSE(dialog_->settingsModified());
        window_->chooseMenu(menu);
        EXPECT_TRUE(dialog_->settingsModified());
        EXPECT_EQ(host_->modalRuns().back().templateId, templateId);
    }
    EXPECT_EQ(host_->modalRuns().size(), 3U);
}

}  // namespace
}  // namespace tavero::app::testing

namespace tavero::app::testing {
namespace {

TEST_F(MainWindowTest, AfterTheTaskListTheGeneratorGetsTheWindowsSettingsBack) {
    GeneratorSettings own = GeneratorSettings::emptyProfile();
    own.amplitude = 321;
    openConnected(own);
    host_->scriptModal(res::aufgabenliste::kDialogId, [](headless::HeadlessWindow& taskList) {
        EXPECT_EQ(taskList.rows(res::aufgabenliste::kProfileCombo).size(), 50U);
        taskList.click(res::aufgabenliste::kAdd);
        taskList.click(res::aufgabenliste::kStart);
        taskList.click(res::kIdCancel);
    });
    window_->click(res::kButtonTaskList);
    EXPECT_EQ(received(), "pp");  // the entry played, then the window's own settings
    EXPECT_EQ(generator_.settings(), own);
    EXPECT_EQ(dialog_->settings(), own);
    EXPECT_TRUE(dialog_->settingsModified());
}

}  // namespace
}  // namespace tavero::app::testing
