// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace tavero::testing {
namespace {

// The real program, started offscreen on the terminal tavero-sim serves, in a working folder of
// its own for the trace file.
TEST(WindowOverPty, StartsWithItsProfilesAndSendsNothingBeforeTheConnect) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "tavero-window-e2e";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    ChildProcess simulator({TAVERO_SIM_PATH});
    const std::string terminal = simulator.readLine().value_or("");
    ASSERT_FALSE(terminal.empty());

    ChildProcess window(
        {"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + folder.string(),
         TAVERO_PATH, "--port", terminal, "--connect"},
        folder);
    // The link prints each frame it receives: the connect notice's answer, then the parameters.
    EXPECT_EQ(window.readLine(), "Empfangen 2");
    EXPECT_EQ(window.readLine(), "0x78 0x06 ");
    EXPECT_EQ(window.readLine(), "Empfangen 53");

    // The first thing the generator saw is the connect notice, then the parameter read.
    std::vector<std::string> events;
    for (int i = 0; i < 3; ++i) {
        const std::string line = simulator.readLine().value_or("");
        events.push_back(line.substr(line.find(' ') + 1));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"port opened", "x 01", "P"}));
    window.stop(SIGTERM);
    simulator.stop(SIGTERM);

    std::ifstream trace(folder / "out.txt", std::ios::binary);
    const std::vector<unsigned char> sent(std::istreambuf_iterator<char>(trace), {});
    const std::vector<unsigned char> expected = {0x02, 0x00, 0x10, 0x82, 0x00, 0x78, 0x01, 0x93,
                                                 0x6D, 0x02, 0x00, 0x01, 0x00, 0x50, 0x04, 0xD9};
    EXPECT_EQ(sent, expected);

    // A fresh data folder gets the profile file with its 50 empty profiles.
    std::ifstream profiles(folder / "Tavero" / "Profile" / "Profile.pro", std::ios::binary);
    std::ifstream golden(std::filesystem::path(TAVERO_STORE_GOLDEN_DIR) / "Profile.pro",
                         std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(profiles), {}),
              std::string(std::istreambuf_iterator<char>(golden), {}));
    std::filesystem::remove_all(folder);
}

// tavero-ctl while the window holds the generator: the command is carried out through the
// window, whose connection alone the simulator sees.
TEST(WindowOverPty, TaveroCtlSetsThroughTheWindowThatHoldsTheGenerator) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "tavero-window-holder-e2e";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    // Short, wherever the tests' temporary folder lies: a socket's path holds 107 bytes.
    char runtimeName[] = "/tmp/tavero-e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(runtimeName), nullptr);
    const std::string environment[] = {"XDG_DATA_HOME=" + folder.string(),
                                       std::string("XDG_RUNTIME_DIR=") + runtimeName};

    ChildProcess simulator({TAVERO_SIM_PATH});
    const std::string terminal = simulator.readLine().value_or("");
    ASSERT_FALSE(terminal.empty());
    ChildProcess window({"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", environment[0],
                         environment[1], TAVERO_PATH, "--port", terminal, "--connect"},
                        folder);
    for (const char* line : {"Empfangen 2", "0x78 0x06 ", "Empfangen 53"}) {
        EXPECT_EQ(window.readLine(), line);
    }
    const Finished set =
        runProgram({"/usr/bin/env", "-C", folder.string(), environment[0], environment[1],
                    TAVERO_CTL_PATH, "--port", terminal, "set", "Frequenz=100000"});
    EXPECT_EQ(set.exitStatus, 0) << set.err;
    EXPECT_EQ(set.err, "");

    std::vector<std::string> events;
    for (int i = 0; i < 5; ++i) {
        const std::string line = simulator.readLine().value_or("");
        events.push_back(line.substr(line.find(' ') + 1));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"port opened", "x 01", "P", "P", "f 00 01 86 A0"}));
    window.stop(SIGTERM);
    simulator.stop(SIGTERM);
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(runtimeName);
}

}  // namespace
}  // namespace tavero::testing
