// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "MainWindowFixture.h"
#include "res/AboutTemplate.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/OffsetTemplate.h"
#include "res/StandardIds.h"
#include "res/WobbelTemplate.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

const char* const kConnectFailed =
    "Es konnte keine Datenverbindung zum Tavero aufgebaut werden.\n\nBitte prüfen Sie:\n"
    "- Ist das Tavero angeschlossen? (ls -l /dev/serial/by-id/)\n"
    "- Darf Ihr Benutzer es öffnen? (udev-Regel; über SSH: Gruppe dialout)\n"
    "- Belegt ModemManager es? (sudo systemctl stop ModemManager)\n"
    "- Verwendet ein anderes Programm es? (fuser -v /dev/ttyUSB0)";
const char* const kNoConnection = "Es wurde noch keine Datenverbindung zum Tavero augebaut!";

void expectConnectionControls(const HeadlessWindow& window, bool enabled) {
    for (const int id : res::kConnectionControls) {
        EXPECT_EQ(window.isEnabled(id), enabled) << "control " << id;
    }
    EXPECT_TRUE(window.isEnabled(res::kButtonConnection));
}

TEST_F(MainWindowTest, StartsDisconnectedAndSendsNothing) {
    HeadlessWindow& window = open();
    expectConnectionControls(window, false);
    EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung aktivieren");
    EXPECT_EQ(window.picture(res::kPictureUsb), res::Picture::usbIndicator(false));
    EXPECT_EQ(frequencyDigits(), "          ");
    EXPECT_TRUE(window.isChecked(res::kRadioFrequencyLast));
    EXPECT_EQ(window.maximum(res::kTrackbarAmplitude), 1000);
    EXPECT_EQ(window.tickInterval(res::kTrackbarAmplitude), 100);
    EXPECT_FALSE(dialog_->connected());
    EXPECT_FALSE(dialog_->settingsModified());
    EXPECT_EQ(received(), "");
    EXPECT_FALSE(std::filesystem::exists(trace_));
}

TEST_F(MainWindowTest, MenuCommandsWhileDisconnectedOnlyAnswerWithTheNoConnectionMessage) {
    HeadlessWindow& window = open();
    for (const int id :
         {res::kMenuTaskList, res::kMenuSweep, res::kMenuModulation, res::kMenuPll,
          res::kMenuCalibrateOffset, res::kMenuCalibrateAmplitude, res::kMenuCalibrateFrequency,
          res::kMenuFactoryReset, res::kMenuBootloader}) {
        window.chooseMenu(id);
    }
    ASSERT_EQ(host_->messageBoxes().size(), 9U);
    for (const auto& record : host_->messageBoxes()) {
        EXPECT_EQ(record.box, (ui::MessageBoxRequest{kNoConnection, "Verbindungsfehler",
                                                     ui::Icon::Information, ui::Buttons::Ok}));
    }
    EXPECT_EQ(received(), "");
    EXPECT_TRUE(host_->modalRuns().empty());
}

TEST_F(MainWindowTest, ConnectShowsTheStoredSettingsAndEnablesTheWindow) {
    GeneratorSettings stored = GeneratorSettings::emptyProfile();
    stored.amplitude = 250;
    stored.signalform = 2;
    stored.konfiguration = kBetriebsartWobbeln;  // filter off, sweep
    generator_.setSettings(stored);
    HeadlessWindow& window = open();
    window.click(res::kButtonConnection);

    EXPECT_EQ(received(), "xP");
    EXPECT_EQ(lastArguments('x'), Bytes{1});
    EXPECT_TRUE(dialog_->connected());
    EXPECT_EQ(dialog_->settings(), stored);
    expectConnectionControls(window, true);
    EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung deaktivieren");
    EXPECT_EQ(window.picture(res::kPictureUsb), res::Picture::usbIndicator(true));
    EXPECT_EQ(frequencyDigits(), "    100000");
    EXPECT_EQ(window.text(res::kLabelFrequencyUnit), "Hz");
    EXPECT_EQ(amplitudeDigits(), " 250");
    EXPECT_EQ(window.position(res::kTrackbarAmplitude), 750);
    EXPECT_TRUE(window.isChecked(1013));
    EXPECT_TRUE(window.isChecked(res::kRadioWobbeln));
    EXPECT_TRUE(window.isChecked(res::kCheckFilterOff));
    EXPECT_EQ(window.text(res::kEditFrequency), "1000.00");
    EXPECT_EQ(window.text(res::kEditAmplitude), "250");
    EXPECT_EQ(window.text(res::kEditMinimum), "0.25");
    EXPECT_EQ(window.text(res::kEditMaximum), "30000000.00");
    EXPECT_EQ(window.text(res::kEditStep), "0.00");
    EXPECT_EQ(window.text(res::kLabelFrequencyEdit), "aktuelle Frequenz");
    EXPECT_FALSE(dialog_->settingsModified());
    EXPECT_TRUE(host_->messageBoxes().empty());

    // Closing right after asks nothing and says goodbye to the generator.
    window.pressCloseBox();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(received(), "xPx");
    EXPECT_EQ(lastArguments('x'), Bytes{0});
    EXPECT_TRUE(host_->messageBoxes().empty());
}

TEST_F(MainWindowTest, ConnectWithoutGeneratorShowsTheConnectionMessage) {
    sim::SimulatedBridge empty;
    headless::HeadlessHost host;
    host.setDataFolder(dataFolder());
    tavero::testing::ModelOnBridge generator(empty, trace_, diagnostics_);
    CTaveroDlg dialog(generator.model, fileWriter_);
    HeadlessWindow& window = host.open(dialog);
    window.click(res::kButtonConnection);
    ASSERT_EQ(host.messageBoxes().size(), 1U);
    EXPECT_EQ(host.messageBoxes()[0].box,
              (ui::MessageBoxRequest{kConnectFailed, "Verbindungsfehler", ui::Icon::Information,
                                     ui::Buttons::Ok}));
    EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung aktivieren");
    EXPECT_FALSE(dialog.connected());
}

TEST_F(MainWindowTest, DeviceThatNeverStopsTalkingFailsTheConnectInsteadOfFreezing) {
    sim::SimulatedBridge talker;
    const std::string log = "boot: ok\r\n";
    talker.attachForeign(sim::SimulatedBridge::generatorIdentity(), {log.begin(), log.end()});
    tavero::testing::ModelOnBridge generator(talker, trace_, diagnostics_);
    CTaveroDlg dialog(generator.model, fileWriter_);
    HeadlessWindow& window = host_->open(dialog);
    window.click(res::kButtonConnection);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Fehler beim lesen"});
    EXPECT_FALSE(dialog.connected());
    EXPECT_FALSE(talker.isOpen(0));
}

TEST_F(MainWindowTest, FailedHandshakeClosesThePortSoThatARetryWorks) {
    generator_.injectFault(sim::Fault::kNak, 'x');
    HeadlessWindow& window = open();
    window.click(res::kButtonConnection);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Antwort nicht OK"});
    EXPECT_FALSE(dialog_->connected());
    EXPECT_FALSE(bridge_.isOpen(0));
    expectConnectionControls(window, false);

    window.click(res::kButtonConnection);
    EXPECT_TRUE(dialog_->connected());
    EXPECT_EQ(messageTexts().size(), 1U);
}

TEST_F(MainWindowTest, FailedParameterReadStillConnects) {
    generator_.injectFault(sim::Fault::kNoReply, 'P');
    HeadlessWindow& window = open();
    window.click(res::kButtonConnection);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Fehler beim lesen (Parameter)"});
    EXPECT_TRUE(dialog_->connected());
    expectConnectionControls(window, true);
    EXPECT_EQ(dialog_->settings(), GeneratorSettings{});  // the record as it was: zero-filled
    EXPECT_EQ(dialog_->firmwareVersion(), 0);
}

TEST_F(MainWindowTest, DisconnectSwitchesTheWindowBackEvenWhenTheNoticeFails) {
    for (const bool noticeFails : {false, true}) {
        SCOPED_TRACE(noticeFails);
        restart();
        HeadlessWindow& window = openConnected();
        if (noticeFails) {
            generator_.injectFault(sim::Fault::kNoReply, 'x');
        }
        window.click(res::kButtonConnection);
        EXPECT_EQ(received(), "x");
        EXPECT_EQ(lastArguments('x'), Bytes{0});
        EXPECT_FALSE(dialog_->connected());
        EXPECT_FALSE(bridge_.isOpen(0));
        expectConnectionControls(window, false);
        EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung aktivieren");
        EXPECT_EQ(window.picture(res::kPictureUsb), res::Picture::usbIndicator(false));
        EXPECT_EQ(messageTexts().size(), noticeFails ? 1U : 0U);
    }
}

TEST_F(MainWindowTest, AboutBoxShowsTheFirmwareOnlyWhileConnected) {
    std::vector<std::string> firmwareLines;
    host_->scriptModal(res::kAboutId, [&firmwareLines](HeadlessWindow& about) {
        firmwareLines.push_back(about.text(res::kAboutFirmwareLabel));
        about.click(res::kIdOk);
    });
    HeadlessWindow& window = open();
    window.chooseMenu(res::kMenuAbout);
    window.click(res::kButtonConnection);
    window.chooseMenu(res::kMenuAbout);
    generator_.setFirmwareVersion(102);  // not read again until the next connect
    window.chooseMenu(res::kMenuAbout);
    window.click(res::kButtonConnection);
    window.chooseMenu(res::kMenuAbout);
    EXPECT_EQ(firmwareLines,
              (std::vector<std::string>{"Firmwareversion ??? (keine USB-Verbindung)",
                                        "Firmwareversion 1.20", "Firmwareversion 1.20",
                                        "Firmwareversion ??? (keine USB-Verbindung)"}));
    EXPECT_EQ(received(), "xPx");
}

TEST_F(MainWindowTest, FactoryReset) {
    GeneratorSettings changed = GeneratorSettings::emptyProfile();
    changed.amplitude = 10;
    HeadlessWindow& window = openConnected(changed);

    host_->answer(ui::Answer::No);
    window.click(res::kRadioWobbeln);  // makes settingsModified true
    generator_.clearReceived();
    window.chooseMenu(res::kMenuFactoryReset);
    EXPECT_EQ(received(), "");
    EXPECT_TRUE(dialog_->settingsModified());  // nothing was reset, the changes stay unsaved

    host_->answer(ui::Answer::Yes);
    window.chooseMenu(res::kMenuFactoryReset);
    EXPECT_EQ(received(), "rP");
    EXPECT_EQ(host_->pauses(), std::vector<int>{1000});
    EXPECT_EQ(host_->waitCursorChanges(), (std::vector<bool>{true, false}));
    EXPECT_EQ(dialog_->settings(), GeneratorSettings::emptyProfile());
    EXPECT_EQ(amplitudeDigits(), " 500");
    EXPECT_FALSE(dialog_->settingsModified());
    const auto& question = host_->messageBoxes().back().box;
    EXPECT_EQ(question.caption, "Werkszustand wiederherstellen");
    EXPECT_EQ(question.icon, ui::Icon::Warning);
    EXPECT_EQ(question.buttons, ui::Buttons::YesNo);

    // A failed reset neither waits nor reads.
    generator_.clearReceived();
    generator_.injectFault(sim::Fault::kNak, 'r');
    host_->answer(ui::Answer::Yes);
    window.chooseMenu(res::kMenuFactoryReset);
    EXPECT_EQ(received(), "r");
    EXPECT_EQ(messageTexts().back(), "Antwort nicht OK (Reset)");
    EXPECT_EQ(host_->pauses().size(), 1U);
    EXPECT_TRUE(dialog_->connected());
}

TEST_F(MainWindowTest, BootloaderStartSendsOneFrameAndDisconnects) {
    HeadlessWindow& window = openConnected();
    const auto traced = std::filesystem::file_size(trace_);
    host_->answer(ui::Answer::No);
    window.chooseMenu(res::kMenuBootloader);
    EXPECT_EQ(received(), "");

    host_->answer(ui::Answer::Yes);
    window.chooseMenu(res::kMenuBootloader);
    EXPECT_EQ(received(), "!");
    EXPECT_FALSE(dialog_->connected());
    EXPECT_FALSE(bridge_.isOpen(0));
    expectConnectionControls(window, false);
    EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung aktivieren");
    EXPECT_EQ(host_->messageBoxes().back().box.caption, "Tavero Bootloader starten");

    std::ifstream in(trace_, std::ios::binary);
    const Bytes all(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(Bytes(all.begin() + static_cast<std::ptrdiff_t>(traced), all.end()),
              (Bytes{0x02, 0x00, 0x01, 0x00, 0x21, 0x22, 0xD8}));
}

TEST_F(MainWindowTest, EscapeAndExitDisconnectAndEnd) {
    for (const bool byMenu : {false, true}) {
        SCOPED_TRACE(byMenu);
        headless::HeadlessHost host;
        host.setDataFolder(dataFolder());
        tavero::testing::ModelOnBridge generator(bridge_, trace_, diagnostics_);
        CTaveroDlg dialog(generator.model, fileWriter_);
        HeadlessWindow& window = host.open(dialog);
        window.click(res::kButtonConnection);
        generator_.clearReceived();
        byMenu ? window.chooseMenu(res::kMenuExit) : window.pressEscape();
        EXPECT_TRUE(window.ended());
        EXPECT_EQ(received(), "x");
        EXPECT_FALSE(bridge_.isOpen(0));
    }
}

TEST_F(MainWindowTest, EnterNeverClosesTheMainWindow) {
    HeadlessWindow& window = openConnected();
    window.setFocus(res::kButtonConnection);
    window.pressEnter();
    EXPECT_FALSE(window.ended());
    EXPECT_TRUE(dialog_->connected());
    EXPECT_EQ(received(), "");
    EXPECT_TRUE(dialog_->settingsModified());
}

// With the generator failing each way, every action shows exactly one message and the window
// goes on working.
TEST_F(MainWindowTest, EveryActionShowsOneMessagePerFailure) {
    struct Action {
        const char* name;
        std::function<void(HeadlessWindow&)> run;
    };
    const std::vector<Action> actions = {
        {"step up", [](HeadlessWindow& w) { w.click(res::kButtonFrequencyUp); }},
        {"waveform", [](HeadlessWindow& w) { w.click(1012); }},
        {"mode", [](HeadlessWindow& w) { w.click(res::kRadioModulation); }},
        {"filter", [](HeadlessWindow& w) { w.click(res::kCheckFilterOff); }},
        {"slider",
         [](HeadlessWindow& w) {
             w.scroll(res::kTrackbarAmplitude, ui::ScrollCode::PageDown, 600);
         }},
    };
    for (const sim::Fault fault : {sim::Fault::kNoReply, sim::Fault::kNak, sim::Fault::kWrongLetter,
                                   sim::Fault::kBadCrc, sim::Fault::kCutShort}) {
        for (const Action& action : actions) {
            SCOPED_TRACE(std::string(sim::faultName(fault)) + " " + action.name);
            generator_.setSettings(GeneratorSettings::emptyProfile());
            headless::HeadlessHost host;
            host.setDataFolder(dataFolder());
            tavero::testing::ModelOnBridge generator(bridge_, trace_, diagnostics_);
            CTaveroDlg dialog(generator.model, fileWriter_);
            HeadlessWindow& window = host.open(dialog);
            window.click(res::kButtonConnection);
            generator_.injectFault(fault, std::nullopt, 1);
            action.run(window);
            EXPECT_EQ(host.messageBoxes().size(), 1U);
            EXPECT_EQ(host.messageBoxes().at(0).box.caption, "Übertragungsfehler");
            EXPECT_EQ(host.messageBoxes().at(0).box.icon, ui::Icon::Error);
            action.run(window);  // the window still works
            EXPECT_EQ(host.messageBoxes().size(), 1U);
            window.pressEscape();
            generator_.clearFaults();
        }
    }
}

TEST_F(MainWindowTest, AGeneratorGoneInAnExchangeOrWhileIdleShowsOneMessageAndDisconnects) {
    namespace list = res::aufgabenliste;
    // Runs `inDialog` in the dialog the menu command opens; the loss must end the dialog.
    const auto underDialog = [this](int menu, int templateId,
                                    std::function<void(HeadlessWindow&)> inDialog) {
        host_->scriptModal(templateId, [inDialog](HeadlessWindow& w) {
            inDialog(w);
            EXPECT_TRUE(w.ended());
        });
        window_->chooseMenu(menu);
        EXPECT_EQ(host_->modalRuns().size(), 1U);
    };
    struct Case {
        const char* name;
        std::function<void(HeadlessWindow&)> unplugAndAct;
    };
    const std::vector<Case> cases = {
        {"amplitude",
         [this](HeadlessWindow& w) {
             generator_.injectFault(sim::Fault::kUnplug, 'g');
             w.scroll(res::kTrackbarAmplitude, ui::ScrollCode::PageDown, 600);
         }},
        {"waveform",
         [this](HeadlessWindow& w) {
             generator_.injectFault(sim::Fault::kUnplug, 's');
             w.click(1012);
         }},
        {"unplugged while idle, then a click",
         [this](HeadlessWindow& w) {
             generator_.unplug();
             w.click(1012);
         }},
        {"unplugged while idle, nothing done",
         [this](HeadlessWindow&) {
             generator_.unplug();
             host_->advance(250);  // the watch looks four times a second
         }},
        {"task list running in a loop",
         [this, underDialog](HeadlessWindow&) {
             underDialog(res::kMenuTaskList, list::kDialogId, [this](HeadlessWindow& w) {
                 w.click(list::kAdd);
                 w.click(list::kLoopCheck);
                 w.click(list::kStart);
                 generator_.unplug();
                 host_->advance(1000);
             });
         }},
        {"sweep settings entered",
         [this, underDialog](HeadlessWindow&) {
             underDialog(res::kMenuSweep, res::wobbel::kDialogId, [this](HeadlessWindow& w) {
                 generator_.unplug();
                 w.type(res::wobbel::kStartfrequenzEdit, "100");
                 w.pressEnter();
             });
         }},
        {"offset level",
         [this, underDialog](HeadlessWindow&) {
             underDialog(res::kMenuCalibrateOffset, res::offset::kDialogId,
                         [this](HeadlessWindow& w) {
                             generator_.unplug();
                             w.click(res::offset::kMinimumAmplitude);
                         });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        generator_.replug();
        HeadlessWindow& window = openConnected();
        c.unplugAndAct(window);
        ASSERT_EQ(host_->messageBoxes().size(), 1U);
        EXPECT_EQ(host_->messageBoxes()[0].box,
                  (ui::MessageBoxRequest{
                      "Die Datenverbindung zum Tavero ist abgebrochen.\n\nSchließen Sie das "
                      "Tavero wieder an und aktivieren Sie die PC-Verbindung erneut.",
                      "Verbindungsfehler", ui::Icon::Error, ui::Buttons::Ok}));
        EXPECT_FALSE(dialog_->connected());
        EXPECT_FALSE(bridge_.isOpen(0));
        expectConnectionControls(window, false);
        EXPECT_EQ(window.text(res::kButtonConnection), "PC-Verbindung aktivieren");
        EXPECT_EQ(window.picture(res::kPictureUsb), res::Picture::usbIndicator(false));
        host_->advance(2000);  // nothing more to say
        EXPECT_EQ(host_->messageBoxes().size(), 1U);

        generator_.replug();
        window.click(res::kButtonConnection);
        EXPECT_TRUE(dialog_->connected());
        EXPECT_EQ(host_->messageBoxes().size(), 1U);
    }
}

}  // namespace
}  // namespace tavero::app::testing
