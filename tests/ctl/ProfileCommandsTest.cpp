// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "ctl/UsageError.h"
#include "store/ProfileFile.h"

namespace tavero::ctl {
namespace {

using namespace std::chrono_literals;

class ProfileCommandsTest : public ToolTest {
protected:
    void writeProfiles(const std::vector<StoredProfile>& profiles) {
        std::filesystem::create_directories(profileFile_.parent_path());
        ASSERT_TRUE(store::writeProfileFile(writer_, profileFile_, profiles));
    }

    void writeProfileBytes(std::string_view bytes) {
        std::filesystem::create_directories(profileFile_.parent_path());
        std::ofstream(profileFile_, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    static GeneratorSettings distinctSettings() {
        GeneratorSettings s = GeneratorSettings::emptyProfile();
        s.frequenz = 123450075;
        s.amplitude = 333;
        s.signalform = 2;
        s.frequenzhub = -3000000000;
        s.konfiguration = 4;
        s.pllOffset = -12345;
        return s;
    }
};

TEST_F(ProfileCommandsTest, ProfilesCreatesTheFileAsTheWindowDoesAndListsItsRows) {
    EXPECT_EQ(run({"profiles"}), kExitSuccess);
    std::string expected;
    for (int i = 1; i <= 50; ++i) {
        expected += std::to_string(i) + ": -- leeres Profil --\n";
    }
    EXPECT_EQ(out_.str(), expected);
    EXPECT_EQ(fileBytes(profileFile_), store::profileFileBytes(store::defaultProfiles()));
    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(ProfileCommandsTest, ProfilesListsAFileTheWindowWrote) {
    writeProfiles({{GeneratorSettings{}, "Ölpumpe 100%s"},
                   {GeneratorSettings{}, ""},
                   {GeneratorSettings{}, "a<b & \"c\""}});
    EXPECT_EQ(run({"profiles"}), kExitSuccess);
    EXPECT_EQ(out_.str(), "1: Ölpumpe 100%s\n2: \n3: a<b & \"c\"\n");
}

TEST_F(ProfileCommandsTest, ProfilePrintsTheSettingsInRecordOrderThenTheName) {
    writeProfiles({store::emptyStoredProfile(), {distinctSettings(), "Zitat \"x\" \\ Ä"}});
    EXPECT_EQ(run({"profile", "2"}), kExitSuccess);
    EXPECT_EQ(out_.str(),
              "Frequenz=123450075\nMinimalfrequenz=25\nMaximalfrequenz=3000000000\n"
              "Schrittweite=0\nAmplitude=333\nWobbel-Startfrequenz=25\n"
              "Wobbel-Stoppfrequenz=3000000000\nWobbel-Frequenz=100\nSignalform=2\n"
              "Modulationseinstellungen=0\nFrequenzhub=-3000000000\nPhasenhub=1\n"
              "Amplitudenhub=100\nModulationsfrequenz=10000\nKonfiguration=4\nPLL-Faktor=1\n"
              "PLL-Offset=-12345\nName=Zitat \"x\" \\ Ä\n");

    out_.str("");
    EXPECT_EQ(run({"profile", "2", "--json"}), kExitSuccess);
    EXPECT_EQ(out_.str(),
              "{\"Frequenz\":123450075,\"Minimalfrequenz\":25,\"Maximalfrequenz\":3000000000,"
              "\"Schrittweite\":0,\"Amplitude\":333,\"Wobbel-Startfrequenz\":25,"
              "\"Wobbel-Stoppfrequenz\":3000000000,\"Wobbel-Frequenz\":100,\"Signalform\":2,"
              "\"Modulationseinstellungen\":0,\"Frequenzhub\":-3000000000,\"Phasenhub\":1,"
              "\"Amplitudenhub\":100,\"Modulationsfrequenz\":10000,\"Konfiguration\":4,"
              "\"PLL-Faktor\":1,\"PLL-Offset\":-12345,\"Name\":\"Zitat \\\"x\\\" \\\\ Ä\"}\n");
    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(ProfileCommandsTest, ANumberThatNamesNoProfileIsRefusedAndChangesNothing) {
    writeProfiles(store::defaultProfiles());
    const std::string before = fileBytes(profileFile_);
    const std::vector<std::string> numbers = {
        "0", "51", "-1", "+1", "abc", "", "1.5", " 1", "99999999999999999999999"};
    for (const std::string& number : numbers) {
        for (std::vector<std::string> args :
             std::vector<std::vector<std::string>>{{"profile"}, {"load"}, {"store", "x"}}) {
            SCOPED_TRACE(args.front() + " '" + number + "'");
            args.insert(args.begin() + 1, number);
            errors_.str("");
            EXPECT_EQ(run(args), kExitUsage);
            EXPECT_EQ(errors_.str().rfind("tavero-ctl: ", 0), 0U) << errors_.str();
        }
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
    EXPECT_EQ(fileBytes(profileFile_), before);
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(ProfileCommandsTest, AFileWithoutProfilesHasNoNumberToName) {
    writeProfileBytes("<Profillisten Anzahl=\"0\"/>");
    EXPECT_EQ(run({"profiles"}), kExitSuccess);
    EXPECT_TRUE(out_.str().empty());
    EXPECT_EQ(run({"profile", "1"}), kExitUsage);
    EXPECT_EQ(errors_.str(), "tavero-ctl: there is no profile 1: the profile file holds none\n");
    EXPECT_EQ(fileBytes(profileFile_), "<Profillisten Anzahl=\"0\"/>");
}

TEST_F(ProfileCommandsTest, AFileTheWindowCannotReadIsReportedAndLeftByteForByte) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;  ///< how the errors begin
    };
    const std::string cannotOpen =
        "Datei \"Profile.pro\" konnte nicht geöffnet werden!\n"
        "tavero-ctl: " +
        profileFile_.string() + ": ";
    const std::string element = "\t<Profil_1 Amplitude=\"7\">\r\n\t\tName\r\n\t</Profil_1>\r\n";
    const std::vector<Case> cases = {
        {"unknown entity",
         "<Profillisten Anzahl=\"1\">\r\n\t<Profil_1 Amplitude=\"7\">\r\n\t\tA &euro; B\r\n"
         "\t</Profil_1>\r\n</Profillisten>\r\n",
         "unknown escape character: '&euro;'\n" + cannotOpen + "Error: Unknown entity (line 3"},
        {"Anzahl above the bound",
         "<Profillisten Anzahl=\"4294967296\">\r\n" + element + "</Profillisten>\r\n",
         cannotOpen + "Anzahl announces more than 10000 profiles\n"},
        {"unmatched end tag", "<Profillisten Anzahl=\"1\">\r\n" + element + "</Profil_1>\r\n",
         cannotOpen + "Error: Unmatched end tag (line 5, column 1)\n"},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"profiles"}, {"profile", "1"}, {"load", "1"}, {"store", "1", "Neu"}}) {
            SCOPED_TRACE(std::string(c.what) + ": " + args.front());
            writeProfileBytes(c.bytes);
            errors_.str("");
            EXPECT_EQ(run(args), kExitFailure);
            EXPECT_EQ(errors_.str().rfind(c.message, 0), 0U) << errors_.str();
            EXPECT_EQ(fileBytes(profileFile_), c.bytes);
        }
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(ProfileCommandsTest, WithoutADataFolderTheProfileCommandsFail) {
    profileFile_.clear();
    EXPECT_EQ(run({"profiles"}), kExitFailure);
    EXPECT_EQ(errors_.str(), "tavero-ctl: there is no per-user data folder for the profile file\n");
}

TEST_F(ProfileCommandsTest, LoadSendsTheWholeProfileAsTheWindowDoes) {
    writeProfiles({store::emptyStoredProfile(), {distinctSettings(), "B"}});
    EXPECT_EQ(run({"load", "2"}), kExitSuccess);
    EXPECT_EQ(generator_.receivedLetters(), "xpx");
    ASSERT_EQ(settingsSent().size(), 1U);
    EXPECT_EQ(settingsSent()[0].image, imageOf(distinctSettings()));
    EXPECT_EQ(generator_.settings(), distinctSettings());
}

TEST_F(ProfileCommandsTest, LoadThatTheGeneratorRefusesFails) {
    writeProfiles(store::defaultProfiles());
    generator_.injectFault(sim::Fault::kNak, 'p');
    EXPECT_EQ(run({"load", "1"}), kExitFailure);
    EXPECT_EQ(errors_.str(), "Antwort nicht OK\n");
}

TEST_F(ProfileCommandsTest, StoredProfileReadsBackAsTheWindowReadsIt) {
    writeProfiles(store::defaultProfiles());
    generator_.setSettings(distinctSettings());
    EXPECT_EQ(run({"store", "3", "Ölpumpe <A&B> 'x' €"}), kExitSuccess);
    EXPECT_EQ(generator_.receivedLetters(), "xPx");

    std::vector<StoredProfile> expected = store::defaultProfiles();
    expected[2] = {distinctSettings(), "Ölpumpe <A&B> 'x' €"};
    const store::ProfileRead read = store::readProfileFile(profileFile_);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles, expected);
    EXPECT_EQ(fileBytes(profileFile_), store::profileFileBytes(expected));
}

TEST_F(ProfileCommandsTest, StoreUnderAnEmptyNameOrOneStartingWithDashes) {
    writeProfiles(store::defaultProfiles());
    EXPECT_EQ(run({"store", "1", ""}), kExitSuccess);
    EXPECT_EQ(run({"store", "2", "--", "--x"}), kExitSuccess);
    EXPECT_EQ(run({"store", "3", "-- mein Profil --"}), kExitSuccess);
    const store::ProfileRead read = store::readProfileFile(profileFile_);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles[0].name, "");
    EXPECT_EQ(read.profiles[1].name, "--x");
    EXPECT_EQ(read.profiles[2].name, "-- mein Profil --");
}

TEST_F(ProfileCommandsTest, StoreRefusesANameTheFileWouldNotGiveBack) {
    writeProfiles(store::defaultProfiles());
    const std::string before = fileBytes(profileFile_);
    const std::vector<std::string> names = {"łódź", "Zeile\nZwei", "\x01", "\xC3", "a\xC3\x28"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(run({"store", "1", name}), kExitUsage);
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
    EXPECT_EQ(fileBytes(profileFile_), before);
}

TEST_F(ProfileCommandsTest, StoreThatCannotReadTheGeneratorLeavesTheFile) {
    writeProfiles(store::defaultProfiles());
    const std::string before = fileBytes(profileFile_);
    generator_.injectFault(sim::Fault::kNoReply, 'P');
    EXPECT_EQ(run({"store", "1", "Neu"}), kExitFailure);
    EXPECT_EQ(errors_.str(), "Fehler beim lesen (Parameter)\n");
    EXPECT_EQ(fileBytes(profileFile_), before);
}

TEST_F(ProfileCommandsTest, AStoreWhoseDisconnectNoticeAloneFailedIsStoredWithAWarning) {
    writeProfiles(store::defaultProfiles());
    int commands = 0;
    // The connect notice and the read go through; the disconnect notice gets no reply.
    onCommand_ = [&] {
        if (++commands == 2) {
            generator_.injectFault(sim::Fault::kNoReply, 'x');
        }
    };
    EXPECT_EQ(run({"store", "2", "Neu"}), kExitSuccess);
    EXPECT_EQ(errors_.str(),
              "Fehler beim lesen\n"
              "tavero-ctl: warning: profile 2 was stored; only the disconnect notice failed\n");
    EXPECT_EQ(store::readProfileFile(profileFile_).profiles.at(1).name, "Neu");
}

TEST_F(ProfileCommandsTest, AStoreWaitsForAnotherProgramsLockUntilAnInterrupt) {
    writeProfiles(store::defaultProfiles());
    const std::string before = fileBytes(profileFile_);
    int otherProgram = -1;
    // Another program starts saving while the generator is read.
    onCommand_ = [&] {
        if (otherProgram < 0) {
            otherProgram = ::open(profileFile_.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
            EXPECT_EQ(::flock(otherProgram, LOCK_EX), 0);
            clock_.interruptAt(clock_.now() + 10s, SIGTERM);
        }
    };
    EXPECT_EQ(run({"store", "2", "Neu"}), kExitInterrupted + SIGTERM);
    ::close(otherProgram);
    EXPECT_EQ(errors_.str(), "tavero-ctl: waiting for another program that is saving in " +
                                 profileFile_.parent_path().string() +
                                 "\ntavero-ctl: cannot lock the folder of " +
                                 profileFile_.string() + ": another program is saving there\n");
    EXPECT_EQ(fileBytes(profileFile_), before);
}

TEST_F(ProfileCommandsTest, StoreThatCannotWriteSaysSo) {
    writeProfiles(store::defaultProfiles());
    const std::string before = fileBytes(profileFile_);
    writer_.refuse = true;
    EXPECT_EQ(run({"store", "1", "Neu"}), kExitFailure);
    EXPECT_EQ(errors_.str(), "tavero-ctl: cannot save the profiles: " + profileFile_.string() +
                                 ": Permission denied\n");
    EXPECT_EQ(fileBytes(profileFile_), before);
}

TEST_F(ProfileCommandsTest, AProfileFileThatCannotBeReadSaysWhy) {
    struct Case {
        std::string name;
        std::function<void()> make;
        std::string reason;
    };
    const Case cases[] = {
        {"folder", [this] { std::filesystem::create_directories(profileFile_); },
         ": is a directory\n"},
        {"device", [this] { std::filesystem::create_symlink("/dev/zero", profileFile_); },
         ": is not a regular file\n"},
        {"declaration",
         [this] {
             writeProfileBytes("<?xml version=\"1.0\"?>\r\n" +
                               store::profileFileBytes(store::defaultProfiles()));
         },
         ": starts with an XML declaration"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(profileFile_.parent_path());
        std::filesystem::create_directories(profileFile_.parent_path());
        c.make();
        errors_.str("");
        EXPECT_EQ(run({"profiles"}), kExitFailure) << c.name;
        EXPECT_NE(errors_.str().find("tavero-ctl: " + profileFile_.string() + c.reason),
                  std::string::npos)
            << c.name << ": " << errors_.str();
        EXPECT_EQ(out_.str(), "") << c.name;
    }
}

TEST_F(ProfileCommandsTest, AStoreAfterAReadInPartKeepsTheOldFileAsBackupAndSaysWhatIsLost) {
    std::vector<StoredProfile> profiles = store::defaultProfiles();
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        profiles[i].name = "P" + std::to_string(i + 1);
    }
    const std::string whole = store::profileFileBytes(profiles);
    const std::string end25 = "</Profil_25>\r\n";
    const std::string cut = whole.substr(0, whole.find(end25) + end25.size()) + '\0' + "junk";
    writeProfileBytes(cut);

    EXPECT_EQ(run({"store", "1", "neu"}), kExitSuccess);
    const std::filesystem::path backup = profileFile_.string() + ".bak";
    EXPECT_EQ(errors_.str(), "tavero-ctl: warning: " + profileFile_.string() +
                                 " was read only in part (a 0 byte ends its data); profiles 26 "
                                 "to 50 are not from the file; a store keeps the file as it is "
                                 "now in " +
                                 backup.string() + "\n");
    EXPECT_EQ(fileBytes(backup), cut);
    EXPECT_EQ(store::readProfileFile(profileFile_).profiles.at(24).name, "P25");
}

TEST_F(ProfileCommandsTest, NamesWithControlCharactersStayOnTheirLine) {
    // As a hand-edited file holds them: Windows-1252 bytes, 0x90 being the C1 control DCS.
    writeProfileBytes(
        "<Profillisten Anzahl=\"2\"><Profil_1>a\r\nb\tc\x1b[2J\x7f\x90 \\n \xd6l</Profil_1>"
        "<Profil_2>zwei</Profil_2></Profillisten>");
    const std::string escaped = "a\\r\\nb\\tc\\x1b[2J\\x7f\\u0090 \\n Öl";
    EXPECT_EQ(run({"profiles"}), kExitSuccess);
    EXPECT_EQ(out_.str(), "1: " + escaped + "\n2: zwei\n");
    out_.str("");
    EXPECT_EQ(run({"profile", "1"}), kExitSuccess);
    EXPECT_NE(out_.str().find("\nName=" + escaped + "\n"), std::string::npos) << out_.str();
}

}  // namespace
}  // namespace tavero::ctl
