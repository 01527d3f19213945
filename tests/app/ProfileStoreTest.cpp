// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "FolderLock.h"
#include "MainWindowFixture.h"
#include "store/ProfileFile.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

const char* const kCannotOpen = "Datei \"Profile.pro\" konnte nicht geöffnet werden!";

std::string goldenProfileFile() {
    return store::fileBytes(std::filesystem::path(TAVERO_STORE_GOLDEN_DIR) / "Profile.pro");
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

/// A profile file in the program's own format with the given elements.
std::string profileFileWith(const char* anzahl, const std::vector<std::string>& elements) {
    std::string text = std::string("<Profillisten Anzahl=\"") + anzahl + "\">\r\n";
    for (const std::string& element : elements) {
        text += "\t" + element + "\r\n";
    }
    return text + "</Profillisten>\r\n";
}

TEST_F(MainWindowTest, FirstStartCreatesBothFoldersAndTheExactFile) {
    HeadlessWindow& window = open();
    EXPECT_TRUE(std::filesystem::is_directory(dataFolder() / "Profile"));
    EXPECT_EQ(store::fileBytes(profileFile()), goldenProfileFile());
    const std::vector<std::string> rows = window.rows(res::kComboProfiles);
    ASSERT_EQ(rows.size(), 50U);
    EXPECT_EQ(rows.front(), "1: -- leeres Profil --");
    EXPECT_EQ(rows.back(), "50: -- leeres Profil --");
    EXPECT_EQ(window.selectedRow(res::kComboProfiles), 0);
    EXPECT_TRUE(host_->messageBoxes().empty());
}

TEST_F(MainWindowTest, AnExistingFileIsLeftAloneAndAnzahlDecidesTheRows) {
    const std::string file = profileFileWith(
        "3",
        {"<Profil_1 Amplitude=\"700\" frequenz=\"200000\">Mein &lt;Profil&gt; 100%</Profil_1>"});
    writeFile(profileFile(), file);
    HeadlessWindow& window = open();
    EXPECT_EQ(window.rows(res::kComboProfiles),
              (std::vector<std::string>{"1: Mein <Profil> 100%", "2: -- leeres Profil --",
                                        "3: -- leeres Profil --"}));
    EXPECT_EQ(store::fileBytes(profileFile()), file);
}

TEST_F(MainWindowTest, UnreadableFilesShowTheMessageAndStayUnchanged) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"unknown entity", profileFileWith("1", {"<Profil_1 Amplitude=\"7\">&euro;</Profil_1>"})},
        {"Anzahl beyond the bound", profileFileWith("10001", {})},
        {"mismatched end tag", "<Profillisten Anzahl=\"1\"></Profil>\r\n"},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        restart();
        writeFile(profileFile(), file);
        HeadlessWindow& window = open();
        EXPECT_EQ(messageTexts(), std::vector<std::string>{kCannotOpen});
        EXPECT_EQ(host_->messageBoxes().at(0).box.caption, "Tavero");
        EXPECT_TRUE(window.rows(res::kComboProfiles).empty());
        window.click(res::kButtonConnection);
        window.click(res::kButtonLoadProfile);  // nothing to load, nothing to store
        window.click(res::kButtonSaveProfile);
        EXPECT_EQ(store::fileBytes(profileFile()), file);
    }
}

TEST_F(MainWindowTest, AProfileFileThatIsNoRegularFileShowsTheMessageWithoutBlocking) {
    std::filesystem::create_directories(profileFile().parent_path());
    ASSERT_EQ(mkfifo(profileFile().c_str(), 0600), 0);
    HeadlessWindow& window = open();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{kCannotOpen});
    EXPECT_TRUE(window.rows(res::kComboProfiles).empty());
}

TEST_F(MainWindowTest, TheFirstStoreAfterAReadInPartKeepsTheOldFileAsBackup) {
    std::vector<StoredProfile> profiles = store::defaultProfiles();
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        profiles[i].name = "P" + std::to_string(i + 1);
    }
    const std::string whole = store::profileFileBytes(profiles);
    const std::string end25 = "</Profil_25>\r\n";
    const std::string cut = whole.substr(0, whole.find(end25) + end25.size()) + '\0';
    writeFile(profileFile(), cut);
    const std::filesystem::path backup = profileFile().string() + ".bak";

    openConnected();
    EXPECT_EQ(window_->rows(res::kComboProfiles).at(25), "26: -- leeres Profil --");
    window_->click(res::kButtonSaveProfile);
    EXPECT_EQ(store::fileBytes(backup), cut);
    EXPECT_EQ(store::readProfileFile(profileFile()).profiles.at(24).name, "P25");

    // The file is whole now: a later store leaves the backup alone.
    window_->click(res::kButtonSaveProfile);
    EXPECT_EQ(store::fileBytes(backup), cut);
}

TEST_F(MainWindowTest, BlankFileStartsFromFiftyEmptyProfilesAndIsKeptAtTheFirstStore) {
    for (const std::string blank : {"", " \r\n\t"}) {
        writeFile(profileFile(), blank);
        std::filesystem::remove(profileFile().string() + ".bak");
        restart();
        openConnected();
        EXPECT_EQ(window_->rows(res::kComboProfiles).size(), 50U);
        EXPECT_EQ(store::fileBytes(profileFile()), blank);

        window_->click(res::kButtonSaveProfile);
        EXPECT_EQ(store::fileBytes(profileFile().string() + ".bak"), blank);
        EXPECT_EQ(store::readProfileFile(profileFile()).profiles.size(), 50U);
    }
}

TEST_F(MainWindowTest, AStoreKeepsWhatAnotherProgramStoredMeanwhile) {
    openConnected();
    std::vector<StoredProfile> others = store::defaultProfiles();
    others[2].name = "Andere";
    store::DirectFileWriter writer;
    ASSERT_TRUE(store::writeProfileFile(writer, profileFile(), others));

    window_->type(res::kEditProfileName, "Meins");
    window_->click(res::kButtonSaveProfile);

    const store::ProfileRead read = store::readProfileFile(profileFile());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles.at(0).name, "Meins");
    EXPECT_EQ(read.profiles.at(2).name, "Andere");
    EXPECT_EQ(window_->rows(res::kComboProfiles).at(2), "3: Andere");
}

TEST_F(MainWindowTest, AStoreOverAFileThatCannotBeReadAgainChangesNothingAndSaysWhy) {
    const std::string cannotSave = "Datei \"Profile.pro\" konnte nicht gespeichert werden!\n";
    const struct {
        const char* name;
        std::string file;
        std::string problem;
    } cases[] = {
        {"a bare & in a name", profileFileWith("1", {"<Profil_1>A & B</Profil_1>"}),
         std::string(kCannotOpen) + "\n" + profileFile().string() +
             ": Error: Unknown entity (line 2, column 14)"},
        {"its list hidden by an XML declaration",
         "<?xml version=\"1.0\"?>\r\n" + profileFileWith("1", {"<Profil_1>A</Profil_1>"}),
         std::string(kCannotOpen) + "\n" + profileFile().string() +
             ": starts with an XML declaration (<?xml ...?>), which these files do not have and "
             "which hides the Profillisten element"},
        {"fewer profiles than the row", profileFileWith("0", {}),
         profileFile().string() + ": 0 profiles, none numbered 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(profileFile());
        restart();
        openConnected();
        writeFile(profileFile(), c.file);
        bool lockFree = false;
        host_->whileMessageBoxShown(
            [&] { lockFree = store::folderLockIsFree(profileFile().parent_path()); });

        window_->click(res::kButtonSaveProfile);

        EXPECT_EQ(store::fileBytes(profileFile()), c.file);
        EXPECT_EQ(messageTexts(), std::vector<std::string>{cannotSave + c.problem});
        EXPECT_TRUE(lockFree) << "the update lock is held while the message waits";
    }
}

TEST_F(MainWindowTest, LoadSendsTheProfileAndStoreWritesTheFile) {
    GeneratorSettings stored = GeneratorSettings::emptyProfile();
    stored.amplitude = 123;
    stored.frequenzhub = 3000000000LL;
    openConnected(stored);
    window_->chooseRow(res::kComboProfiles, 4);
    window_->type(res::kEditProfileName, "Prüfling \"A\" & <B>");
    window_->click(res::kButtonSaveProfile);
    EXPECT_EQ(received(), "");  // storing sends nothing
    EXPECT_EQ(window_->rows(res::kComboProfiles).at(4), "5: Prüfling \"A\" & <B>");
    EXPECT_EQ(window_->selectedRow(res::kComboProfiles), 4);
    const store::ProfileRead read = store::readProfileFile(profileFile());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles.at(4), (StoredProfile{stored, "Prüfling \"A\" & <B>"}));
    EXPECT_FALSE(dialog_->settingsModified());
    EXPECT_FALSE(dialog_->profileLoaded());

    generator_.setSettings(GeneratorSettings::emptyProfile());
    window_->chooseRow(res::kComboProfiles, 0);
    window_->click(res::kButtonLoadProfile);
    window_->chooseRow(res::kComboProfiles, 4);
    window_->chooseMenu(res::kMenuLoadProfile);
    EXPECT_EQ(received(), "pp");
    EXPECT_EQ(generator_.settings(), stored);
    EXPECT_EQ(dialog_->settings(), stored);
    EXPECT_EQ(amplitudeDigits(), " 123");
    EXPECT_EQ(window_->text(res::kEditProfileName), "Prüfling \"A\" & <B>");
    EXPECT_TRUE(dialog_->profileLoaded());
    EXPECT_FALSE(dialog_->settingsModified());
}

TEST_F(MainWindowTest, AnyValueOfAProfileIsShownSteppedAndStoredAsItIs) {
    struct Case {
        const char* attributes;
        std::string amplitudeDigits;
        int sliderPosition;
        std::string amplitudeEdit;
    };
    const Case cases[] = {
        {"Amplitude=\"-1\"", "    ", 0, "-1"},
        {"Amplitude=\"-2147483648\"", "    ", 0, "-2147483648"},
        {"Amplitude=\"9999\"", "9999", 0, "9999"},
        {"Amplitude=\"10000\"", "    ", 0, "10000"},
        {"Amplitude=\"400\" Signalform=\"255\" Konfiguration=\"6\"", " 400", 600, "400"},
        {"Amplitude=\"400\" PLL-Faktor=\"0\" PLL-Offset=\"-2147483648\"", " 400", 600, "400"},
        {"Amplitude=\"400\" PLL-Faktor=\"4294967295\" Frequenz=\"4294967295\"", " 400", 600, "400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        restart();
        writeFile(profileFile(), profileFileWith("1", {std::string("<Profil_1 ") + c.attributes +
                                                       ">Hand</Profil_1>"}));
        openConnected();
        window_->click(res::kButtonLoadProfile);
        const GeneratorSettings loaded = dialog_->settings();
        EXPECT_EQ(amplitudeDigits(), c.amplitudeDigits);
        EXPECT_EQ(window_->position(res::kTrackbarAmplitude), c.sliderPosition);
        EXPECT_EQ(window_->text(res::kEditAmplitude), c.amplitudeEdit);

        window_->click(res::kRadioAmplitudeLast);
        window_->wheel(120, 0, centreOf(res::kAmplitudeDigitIds[0]));
        window_->click(res::kButtonFrequencyUp);
        window_->mouseDown(ui::MouseButton::Right, centreOf(res::kFrequencyDigitIds[0]));
        window_->click(res::kButtonSaveProfile);
        const store::ProfileRead read = store::readProfileFile(profileFile());
        ASSERT_TRUE(read.ok());
        const GeneratorSettings& stored = read.profiles.at(0).settings;
        EXPECT_EQ(stored.frequenz, dialog_->settings().frequenz);
        EXPECT_EQ(stored.signalform, loaded.signalform);
        EXPECT_EQ(stored.konfiguration, loaded.konfiguration);
        EXPECT_EQ(stored.pllFaktor, loaded.pllFaktor);
        EXPECT_EQ(stored.pllOffset, loaded.pllOffset);
    }
}

TEST_F(MainWindowTest, LoadThatTheGeneratorRefusesKeepsTheSettingsButSetsTheFlags) {
    openConnected();
    window_->click(1012);  // a setting of our own: Dreieck
    generator_.injectFault(sim::Fault::kNak, 'p');
    window_->chooseRow(res::kComboProfiles, 1);
    window_->click(res::kButtonLoadProfile);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Antwort nicht OK"});
    EXPECT_EQ(dialog_->settings().signalform, 1U);
    EXPECT_EQ(window_->text(res::kEditProfileName), "");
    EXPECT_TRUE(dialog_->profileLoaded());
    EXPECT_FALSE(dialog_->settingsModified());
}

TEST_F(MainWindowTest, ClosingAfterAChangedLoadOffersToStoreBeforeSayingGoodbye) {
    openConnected();
    window_->chooseRow(res::kComboProfiles, 2);
    window_->click(res::kButtonLoadProfile);
    window_->type(res::kEditProfileName, "Sinus 1 kHz");
    window_->click(1014);
    generator_.clearReceived();

    host_->answer(ui::Answer::Yes);
    window_->pressCloseBox();
    EXPECT_EQ(host_->messageBoxes().back().box,
              (ui::MessageBoxRequest{
                  "Es sind nicht gespeicherte Änderungen am Profil vorhanden, wollen Sie das "
                  "Profil speichern?",
                  "Tavero", ui::Icon::Question, ui::Buttons::YesNo}));
    EXPECT_EQ(received(), "x");
    const store::ProfileRead read = store::readProfileFile(profileFile());
    EXPECT_EQ(read.profiles.at(2).name, "Sinus 1 kHz");
    EXPECT_EQ(read.profiles.at(2).settings.signalform, 3U);
    EXPECT_TRUE(window_->ended());
}

TEST_F(MainWindowTest, NamesTheFileCannotHoldAreNamedBeforeStoringAndShownAsStored) {
    struct Case {
        const char* typed;
        std::optional<ui::Answer> answer;  ///< none: nothing to ask
        const char* stored;                ///< in the row, the edit and the file
    };
    const std::vector<Case> cases = {
        {"Ω-Last", ui::Answer::No, "-- leeres Profil --"},
        {"Grüße € 1 kHz", std::nullopt, "Grüße € 1 kHz"},
        {"Ω-Last 😀 Ω", ui::Answer::Yes, "?-Last ? ?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        restart();
        openConnected();
        window_->chooseRow(res::kComboProfiles, 3);
        window_->type(res::kEditProfileName, c.typed);
        if (c.answer) {
            host_->answer(*c.answer);
        }
        window_->click(res::kButtonSaveProfile);
        EXPECT_EQ(host_->messageBoxes().size(), c.answer ? 1U : 0U);
        EXPECT_EQ(window_->rows(res::kComboProfiles).at(3), std::string("4: ") + c.stored);
        EXPECT_EQ(store::readProfileFile(profileFile()).profiles.at(3).name, c.stored);
        EXPECT_EQ(window_->text(res::kEditProfileName),
                  c.answer == ui::Answer::No ? c.typed : c.stored);
    }
    EXPECT_EQ(
        host_->messageBoxes().front().box,
        (ui::MessageBoxRequest{"Der Profilname enthält Zeichen, die in der Profildatei\n"
                               "nicht gespeichert werden können: Ω 😀\n\nSie werden dort durch "
                               "\"?\" ersetzt.\n\nMöchten Sie das Profil trotzdem speichern?",
                               "Profil speichern", ui::Icon::Warning, ui::Buttons::YesNo}));
}

TEST_F(MainWindowTest, GoingBackFromAnUnstorableNameOnClosingKeepsTheWindowOpen) {
    openConnected();
    window_->click(res::kButtonLoadProfile);
    window_->type(res::kEditProfileName, "Ω");
    window_->click(1012);
    const std::string before = store::fileBytes(profileFile());
    for (const ui::Answer name : {ui::Answer::No, ui::Answer::Yes}) {
        host_->answer(ui::Answer::Yes);
        host_->answer(name);
        window_->pressCloseBox();
        EXPECT_EQ(window_->ended(), name == ui::Answer::Yes);
    }
    EXPECT_NE(store::fileBytes(profileFile()), before);
    EXPECT_EQ(store::readProfileFile(profileFile()).profiles.at(0).name, "?");
}

TEST_F(MainWindowTest, NoPromptWithoutALoadOrAfterAStore) {
    for (const bool storeFirst : {false, true}) {
        restart();
        openConnected();
        if (storeFirst) {
            window_->click(res::kButtonLoadProfile);
            window_->click(res::kButtonSaveProfile);
        }
        window_->click(1012);
        window_->pressEscape();
        EXPECT_TRUE(host_->messageBoxes().empty());
        EXPECT_TRUE(window_->ended());
    }
}

TEST_F(MainWindowTest, StoreThatCannotWriteSaysSo) {
    openConnected();
    const std::string before = store::fileBytes(profileFile());
    fileWriter_.refuse = true;
    window_->click(res::kButtonSaveProfile);
    EXPECT_EQ(host_->messageBoxes().at(0).box,
              (ui::MessageBoxRequest{"Datei \"Profile.pro\" konnte nicht gespeichert werden!\n" +
                                         profileFile().string() + ": Permission denied",
                                     "Tavero", ui::Icon::None, ui::Buttons::Ok}));
    EXPECT_EQ(store::fileBytes(profileFile()), before);
}

TEST_F(MainWindowTest, UnexpectedFolderFailureIsReportedAndStartUpGoesOn) {
    host_->failCreateDirectory(dataFolder(), ui::CreateDirectoryResult::Failed);
    open();
    EXPECT_EQ(messageTexts().at(0), "Unknown error in function CheckFolder() occurred!");
}

TEST_F(MainWindowTest, ProfileMenuEntriesNeedTheConnection) {
    open();
    window_->chooseMenu(res::kMenuLoadProfile);
    window_->chooseMenu(res::kMenuSaveProfile);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{
                                  "Es wurde noch keine Datenverbindung zum Tavero augebaut!",
                                  "Es wurde noch keine Datenverbindung zum Tavero augebaut!"}));
    EXPECT_EQ(store::fileBytes(profileFile()), goldenProfileFile());
}

}  // namespace
}  // namespace tavero::app::testing
