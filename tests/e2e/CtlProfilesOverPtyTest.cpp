// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "ChildProcess.h"

// tavero-ctl's profile, task list and maintenance commands against tavero-sim on a
// pseudo-terminal, each test with a data folder of its own.

namespace tavero::testing {
namespace {

/// tavero-sim on a pseudo-terminal, with the commands it logs read one by one.
class Simulator {
public:
    Simulator() : process_({TAVERO_SIM_PATH}) { path_ = process_.readLine().value_or(""); }
    ~Simulator() { process_.stop(SIGTERM); }

    const std::string& path() const { return path_; }

    /// The next `n` logged events without their time stamps, e.g. "x 01" or "port opened".
    std::vector<std::string> nextEvents(std::size_t n) {
        std::vector<std::string> events;
        while (events.size() < n) {
            const std::string line = process_.readLine().value_or("<end of log>");
            events.push_back(line.substr(line.find(' ') + 1));
        }
        return events;
    }

private:
    ChildProcess process_;
    std::string path_;
};

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// One task list entry element, told apart by its amplitude.
std::string taskListElement(int position, std::string_view name, int amplitude, int duration) {
    const std::string element = "Playlistelement_" + std::to_string(position);
    return "\t<" + element + " Amplitude=\"" + std::to_string(amplitude) +
           "\" Frequenz=\"100000\" Minimalfrequenz=\"25\" Maximalfrequenz=\"3000000000\" "
           "Duration=\"" +
           std::to_string(duration) + "\" ElementNr=\"" + std::to_string(position) + "\">\r\n\t\t" +
           std::string(name) + "\r\n\t</" + element + ">\r\n";
}

class CtlProfilesOverPty : public ::testing::Test {
protected:
    CtlProfilesOverPty() {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~CtlProfilesOverPty() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    /// tavero-ctl on the simulator's terminal, with the test's data folder as its data and its
    /// working folder.
    Finished ctl(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {
            "/usr/bin/env",  "-C",     folder_.string(), "XDG_DATA_HOME=" + folder_.string(),
            TAVERO_CTL_PATH, "--port", simulator_.path()};
        argv.insert(argv.end(), args.begin(), args.end());
        return runProgram(argv);
    }

    const std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        (std::string("tavero-ctl-e2e-") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::filesystem::path profileFile_ = folder_ / "Tavero" / "Profile" / "Profile.pro";
    Simulator simulator_;
};

/// A task list of one entry held `seconds`, in the test's folder.
std::string oneEntryList(const std::filesystem::path& folder, int seconds) {
    const auto list = folder / "Eins.tvr";
    writeBytes(list, "<Playlist Anzahl=\"1\" Schleife=\"0\">\r\n" +
                         taskListElement(1, "Eins", 100, seconds) + "</Playlist>\r\n");
    return list.string();
}

TEST_F(CtlProfilesOverPty, ProfilesNeedNoGeneratorAndStartTheWindowsFile) {
    const std::vector<std::string> noGenerator = {
        "/usr/bin/env", "XDG_DATA_HOME=" + folder_.string(), TAVERO_CTL_PATH, "--port",
        "/dev/tavero-does-not-exist"};
    std::vector<std::string> args = noGenerator;
    args.push_back("profiles");
    const Finished profiles = runProgram(args);
    EXPECT_EQ(profiles.exitStatus, 0) << profiles.err;
    std::string rows;
    for (int i = 1; i <= 50; ++i) {
        rows += std::to_string(i) + ": -- leeres Profil --\n";
    }
    EXPECT_EQ(profiles.out, rows);
    EXPECT_EQ(fileBytes(profileFile_).rfind("<Profillisten Anzahl=\"50\">\r\n\t<Profil_1 ", 0), 0U);

    args = noGenerator;
    args.insert(args.end(), {"profile", "50"});
    const Finished profile = runProgram(args);
    EXPECT_EQ(profile.exitStatus, 0) << profile.err;
    EXPECT_EQ(profile.out.rfind("Frequenz=100000\nMinimalfrequenz=25\n", 0), 0U);
    EXPECT_TRUE(profile.out.ends_with("\nPLL-Offset=0\nName=-- leeres Profil --\n"));
}

TEST_F(CtlProfilesOverPty, AStoredProfileGoesThroughTheFileBackToTheGenerator) {
    ASSERT_EQ(ctl({"set", "Amplitude=123", "Frequenz=200000"}).exitStatus, 0);
    simulator_.nextEvents(7);

    const Finished store = ctl({"store", "7", "Prüfung <1>"});
    EXPECT_EQ(store.exitStatus, 0) << store.err;
    EXPECT_EQ(simulator_.nextEvents(5),
              (std::vector<std::string>{"port opened", "x 01", "P", "x 00", "port closed"}));
    // Windows-1252 and escaped, as the window writes it.
    EXPECT_NE(fileBytes(profileFile_)
                  .find("\t\tPr\xFC"
                        "fung &lt;1&gt;\r\n\t</Profil_7>\r\n"),
              std::string::npos);

    const Finished profile = ctl({"profile", "7", "--json"});
    EXPECT_EQ(profile.exitStatus, 0) << profile.err;
    EXPECT_EQ(profile.out.rfind("{\"Frequenz\":200000,", 0), 0U);
    EXPECT_NE(profile.out.find(",\"Amplitude\":123,"), std::string::npos);
    EXPECT_TRUE(profile.out.ends_with(",\"Name\":\"Prüfung <1>\"}\n"));

    const Finished reset = ctl({"reset", "--yes"});
    EXPECT_EQ(reset.exitStatus, 0) << reset.err;
    EXPECT_EQ(reset.out.rfind("Firmwareversion 1.20\nFrequenz=100000\n", 0), 0U);
    EXPECT_EQ(simulator_.nextEvents(6),
              (std::vector<std::string>{"port opened", "x 01", "r", "P", "x 00", "port closed"}));

    const Finished load = ctl({"load", "7"});
    EXPECT_EQ(load.exitStatus, 0) << load.err;
    const std::vector<std::string> events = simulator_.nextEvents(5);
    EXPECT_EQ(events[1], "x 01");
    EXPECT_EQ(events[2].rfind("p 00 03 0D 40 ", 0), 0U);
    EXPECT_EQ(events[3], "x 00");

    const Finished read = ctl({"read"});
    EXPECT_NE(read.out.find("\nFrequenz=200000\n"), std::string::npos);
    EXPECT_NE(read.out.find("\nAmplitude=123\n"), std::string::npos);
}

TEST_F(CtlProfilesOverPty, AProfileFileTheWindowCannotReadIsLeftByteForByte) {
    const std::vector<std::string> damaged = {
        "<Profillisten Anzahl=\"1\">\r\n\t<Profil_1 Amplitude=\"7\">\r\n\t\tA &bogus; B\r\n"
        "\t</Profil_1>\r\n</Profillisten>\r\n",
        "<Profillisten Anzahl=\"99999999999\">\r\n\t<Profil_1 Amplitude=\"7\">\r\n\t\tA\r\n"
        "\t</Profil_1>\r\n</Profillisten>\r\n",
    };
    for (const std::string& bytes : damaged) {
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"profiles"}, {"profile", "1"}, {"load", "1"}, {"store", "1", "Neu"}}) {
            SCOPED_TRACE(args.front() + " on " + bytes.substr(0, 36));
            writeBytes(profileFile_, bytes);
            const Finished run = ctl(args);
            EXPECT_EQ(run.exitStatus, 1);
            EXPECT_TRUE(run.out.empty()) << run.out;
            EXPECT_NE(run.err.find("Datei \"Profile.pro\" konnte nicht geöffnet werden!\n"
                                   "tavero-ctl: " +
                                   profileFile_.string() + ": "),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(fileBytes(profileFile_), bytes);
        }
    }
    // The generator heard nothing before this read.
    EXPECT_EQ(ctl({"read"}).exitStatus, 0);
    EXPECT_EQ(simulator_.nextEvents(2), (std::vector<std::string>{"port opened", "x 01"}));
}

TEST_F(CtlProfilesOverPty, AProfileNumberOutOfRangeIsRefused) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"profile", "51"}, {"load", "0"}, {"store", "51", "Neu"}}) {
        SCOPED_TRACE(args.front());
        const Finished run = ctl(args);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_NE(run.err.find("tavero-ctl: there is no profile " + args[1] +
                               ": the profile file holds profiles 1 to 50\n"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(ctl({"read"}).exitStatus, 0);
    EXPECT_EQ(simulator_.nextEvents(2), (std::vector<std::string>{"port opened", "x 01"}));
}

TEST_F(CtlProfilesOverPty, PlayRunsToTheEndOfTheList) {
    const auto list = folder_ / "Zwei.tvr";
    writeBytes(list, "<Playlist Anzahl=\"2\" Schleife=\"0\">\r\n" +
                         taskListElement(1, "Eins", 100, 1) + taskListElement(2, "Zwei", 200, 1) +
                         "</Playlist>\r\n");
    const Finished play = ctl({"play", list.string()});
    EXPECT_EQ(play.exitStatus, 0) << play.err;
    EXPECT_EQ(play.out, "1: Eins, Dauer: 1 s\n2: Zwei, Dauer: 1 s\n");
    const std::vector<std::string> events = simulator_.nextEvents(6);
    EXPECT_EQ(events[1], "x 01");
    EXPECT_EQ(events[2].rfind("p 00 01 86 A0 ", 0), 0U);
    EXPECT_EQ(events[3].rfind("p 00 01 86 A0 ", 0), 0U);
    EXPECT_EQ(events[4], "x 00");
    EXPECT_EQ(events[5], "port closed");
}

TEST_F(CtlProfilesOverPty, WhatAFileDoesNotHoldOrTheWindowRefusesGoesAsAnEmptyProfile) {
    // A new file's first profile is what an empty profile sends.
    ASSERT_EQ(ctl({"load", "1"}).exitStatus, 0);
    const std::string empty = simulator_.nextEvents(5)[2];
    ASSERT_EQ(empty.rfind("p 00 01 86 A0 00 00 00 19 B2 D0 5E 00 ", 0), 0U) << empty;

    std::string profiles = "<Profillisten Anzahl=\"13\">\r\n";
    for (int i = 1; i <= 11; ++i) {
        profiles += "\t<Profil_" + std::to_string(i) + ">\r\n\t\tP\r\n\t</Profil_" +
                    std::to_string(i) + ">\r\n";
    }
    profiles +=
        "\t<Profil_12 Frequenzhub=\"9223372036854775807\">\r\n\t</Profil_12>\r\n"
        "\t<Profil_13 Frequenz=\"100000\" Minimalfrequenz=\"25\"";
    writeBytes(profileFile_, profiles);
    const auto list = folder_ / "Drei.tvr";
    writeBytes(list, "<Playlist Anzahl=\"3\" Schleife=\"0\">\r\n" +
                         taskListElement(1, "Eins", 500, 1) + "</Playlist>\r\n");
    struct Case {
        std::vector<std::string> args;
        std::size_t settingsSent;
        const char* warning;
    };
    const Case cases[] = {
        {{"load", "13"}, 1, "profile 13 is not from the file"},
        {{"load", "12"},
         1,
         "profile 12 holds Frequenzhub=9223372036854775807, which the window "
         "refuses; Frequenzhub=1000000 of an empty profile is sent instead"},
        {{"play", list.string(), "--once"}, 3, "entries 2 to 3 are not from the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        const Finished run = ctl(c.args);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err;
        const std::vector<std::string> events = simulator_.nextEvents(4 + c.settingsSent);
        for (std::size_t i = 0; i < c.settingsSent; ++i) {
            EXPECT_EQ(events[2 + i], empty);
        }
    }
}

TEST_F(CtlProfilesOverPty, AnInterruptedPlayLeavesTheGeneratorOnTheLastEntrySent) {
    struct Case {
        int signal;
        int status;
        std::string entries;      ///< the list's elements
        std::size_t linesBefore;  ///< entries sent before the signal, the last held an hour
        const char* amplitude;    ///< of the last of them
    };
    const std::vector<Case> cases = {
        {SIGINT, 130,
         taskListElement(1, "Kurz", 100, 1) + taskListElement(2, "Lang", 200, 3600) +
             taskListElement(3, "Nie", 300, 1),
         2, "Amplitude=200"},
        {SIGTERM, 143, taskListElement(1, "Lang", 400, 3600) + taskListElement(2, "Nie", 300, 1), 1,
         "Amplitude=400"},
    };
    const auto list = folder_ / "Lang.tvr";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        const std::size_t count = 1 + c.linesBefore;
        writeBytes(list, "<Playlist Anzahl=\"" + std::to_string(count) + "\" Schleife=\"1\">\r\n" +
                             c.entries + "</Playlist>\r\n");
        ChildProcess play({TAVERO_CTL_PATH, "--port", simulator_.path(), "play", list.string()},
                          folder_);
        for (std::size_t line = 0; line < c.linesBefore; ++line) {
            EXPECT_TRUE(play.readLine().has_value());
        }
        EXPECT_EQ(play.stop(c.signal), c.status);
        const std::vector<std::string> events = simulator_.nextEvents(4 + c.linesBefore);
        EXPECT_EQ(events[1], "x 01");
        EXPECT_EQ(events[2 + c.linesBefore], "x 00");  // no entry after the signal

        const Finished read = ctl({"read"});
        EXPECT_NE(read.out.find(std::string("\n") + c.amplitude + "\n"), std::string::npos)
            << read.out;
        simulator_.nextEvents(5);
    }
}

TEST_F(CtlProfilesOverPty, APlayWhoseReaderHasGoneStopsBeforeTheNextEntry) {
    const auto list = folder_ / "Kopf.tvr";
    // The first hold outlasts the moment the test takes to close the pipe.
    writeBytes(list, "<Playlist Anzahl=\"2\" Schleife=\"1\">\r\n" +
                         taskListElement(1, "Eins", 100, 10) + taskListElement(2, "Zwei", 200, 1) +
                         "</Playlist>\r\n");
    ChildProcess play({TAVERO_CTL_PATH, "--port", simulator_.path(), "play", list.string()},
                      folder_);
    EXPECT_EQ(play.readLine(), "1: Eins, Dauer: 10 s");
    EXPECT_EQ(play.closeOutputAndWait(), 1);
    const std::vector<std::string> events = simulator_.nextEvents(5);
    EXPECT_EQ(events[1], "x 01");
    EXPECT_EQ(events[3], "x 00");  // the hang-up was seen during the hold
}

TEST_F(CtlProfilesOverPty, SigtermEndsAPlayWhoseOutputIsBlocked) {
    // A pipe nobody reads, filled to the brim: the line of the first entry can not be written.
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    ::fcntl(pipeEnds[1], F_SETPIPE_SZ, 4096);
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (::write(pipeEnds[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(pipeEnds[1], F_SETFL, 0);
    ChildProcess play(
        {TAVERO_CTL_PATH, "--port", simulator_.path(), "play", oneEntryList(folder_, 3600)},
        folder_, pipeEnds[1]);
    ::close(pipeEnds[1]);
    EXPECT_EQ(simulator_.nextEvents(3)[2].rfind("p ", 0), 0U);
    EXPECT_EQ(play.stop(SIGTERM), 143);
    EXPECT_EQ(simulator_.nextEvents(2), (std::vector<std::string>{"x 00", "port closed"}));
    ::close(pipeEnds[0]);
}

TEST_F(CtlProfilesOverPty, ASecondPathToAHeldPortFindsItHeld) {
    ChildProcess play(
        {TAVERO_CTL_PATH, "--port", simulator_.path(), "play", oneEntryList(folder_, 3600)},
        folder_);
    EXPECT_EQ(play.readLine(), "1: Eins, Dauer: 3600 s");
    const auto link = folder_ / "by-id-link";
    std::filesystem::create_symlink(simulator_.path(), link);
    for (const std::string& path : {simulator_.path(), link.string()}) {
        SCOPED_TRACE(path);
        const Finished second = runProgram({TAVERO_CTL_PATH, "--port", path, "read"});
        EXPECT_EQ(second.exitStatus, 1);
        EXPECT_EQ(second.err.rfind("Es konnte keine Datenverbindung", 0), 0U) << second.err;
    }
    EXPECT_EQ(play.stop(SIGINT), 130);
    // The generator heard only the play.
    EXPECT_EQ(simulator_.nextEvents(5)[3], "x 00");
}

TEST_F(CtlProfilesOverPty, TheTraceGoesWhereTheOptionsSayAndNeverHoldsUpTheExchanges) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* written;  ///< the file the frames land in, or none
        std::string err;
    };
    const std::string list = oneEntryList(folder_, 1);
    const std::string fifoProblem =
        "tavero-ctl: cannot write the trace out.txt (is not a regular file); the exchanges go "
        "on without it\n";
    const std::vector<Case> cases = {
        {"default", {"play", list}, "out.txt", ""},
        {"elsewhere", {"play", list, "--trace", "anders.txt"}, "anders.txt", ""},
        {"none", {"play", "--no-trace", list}, nullptr, ""},
        // A FIFO of the name would block the open until a reader came, with the port held.
        {"FIFO on read", {"read"}, nullptr, fifoProblem},
        {"FIFO on set", {"set", "Amplitude=100", "Frequenz=200000"}, nullptr, fifoProblem},
        {"FIFO on play", {"play", list}, nullptr, fifoProblem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder_ / "out.txt");
        std::filesystem::remove(folder_ / "anders.txt");
        if (!c.err.empty()) {
            ASSERT_EQ(::mkfifo((folder_ / "out.txt").c_str(), 0600), 0);
        }
        const Finished run = ctl(c.args);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.err, c.err);
        for (const char* name : {"out.txt", "anders.txt"}) {
            const bool traced = c.written != nullptr && std::string_view(name) == c.written;
            EXPECT_EQ(std::filesystem::is_regular_file(folder_ / name), traced) << name;
        }
        std::vector<std::string> events;
        while (events.empty() || events.back() != "port closed") {
            events.push_back(simulator_.nextEvents(1)[0]);
        }
        EXPECT_EQ(events[events.size() - 2], "x 00");
    }
}

TEST_F(CtlProfilesOverPty, MaintenanceNeedsYes) {
    for (const char* command : {"reset", "bootloader"}) {
        const Finished refused = ctl({command});
        EXPECT_EQ(refused.exitStatus, 2) << command;
        EXPECT_NE(refused.err.find("--yes"), std::string::npos);
    }
    const Finished bootloader = ctl({"bootloader", "--yes"});
    EXPECT_EQ(bootloader.exitStatus, 0) << bootloader.err;
    // No disconnect notice: the bootloader would not understand it.
    EXPECT_EQ(simulator_.nextEvents(4),
              (std::vector<std::string>{"port opened", "x 01", "!", "port closed"}));
}

TEST_F(CtlProfilesOverPty, HelpForTheToolAndEachCommand) {
    const Finished overview = ctl({"--help"});
    EXPECT_EQ(overview.exitStatus, 0);
    EXPECT_NE(overview.out.find("\n  play FILE [--loop | --once] [--trace FILE | --no-trace]\n"),
              std::string::npos);
    const Finished play = ctl({"help", "play"});
    EXPECT_EQ(play.exitStatus, 0);
    EXPECT_EQ(play.out.rfind("Usage: tavero-ctl [OPTIONS] play FILE [--loop | --once] [--trace "
                             "FILE | --no-trace]\n",
                             0),
              0U);
    EXPECT_TRUE(play.out.ends_with("--no-trace    keep no trace\n"));
    EXPECT_EQ(ctl({"store", "--help"}).out, ctl({"help", "store"}).out);
    EXPECT_EQ(ctl({"help", "frobnicate"}).exitStatus, 2);
}

}  // namespace
}  // namespace tavero::testing
