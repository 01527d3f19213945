// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl/CommandLine.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {
namespace {

TEST(CommandLine, PicksBridgeCommandAndArguments) {
    const CommandLine usb = parseCommandLine({"read"});
    EXPECT_EQ(usb.bridge, BridgeChoice::kUsb);
    EXPECT_EQ(usb.command, "read");

    const CommandLine port =
        parseCommandLine({"--port", "/dev/pts/3", "set", "Amplitude=1", "PLL-Offset=-5"});
    EXPECT_EQ(port.bridge, BridgeChoice::kPort);
    EXPECT_EQ(port.portPath, "/dev/pts/3");
    EXPECT_EQ(port.command, "set");
    EXPECT_EQ(port.arguments, (std::vector<std::string>{"Amplitude=1", "PLL-Offset=-5"}));

    const CommandLine simulated = parseCommandLine({"--simulator", "--verbose", "read"});
    EXPECT_EQ(simulated.bridge, BridgeChoice::kSimulator);
    EXPECT_TRUE(simulated.verbose);

    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLine, OptionsAfterTheCommandAreTheCommandsOwn) {
    const CommandLine profile = parseCommandLine({"profile", "--json", "3"});
    EXPECT_TRUE(profile.json);
    EXPECT_EQ(profile.arguments, std::vector<std::string>{"3"});

    EXPECT_TRUE(parseCommandLine({"reset", "--yes"}).yes);
    EXPECT_EQ(parseCommandLine({"play", "a.tvr"}).loop, LoopChoice::kAsFile);
    EXPECT_EQ(parseCommandLine({"play", "--loop", "a.tvr"}).loop, LoopChoice::kAlways);
    EXPECT_EQ(parseCommandLine({"play", "a.tvr", "--once", "--once"}).loop, LoopChoice::kOnce);
    EXPECT_EQ(parseCommandLine({"serve", "--listen", "[::1]:0"}).listen, "[::1]:0");
    EXPECT_TRUE(parseCommandLine({"serve", "--vxi11-alternate-ports"}).vxi11AlternatePorts);
    EXPECT_FALSE(parseCommandLine({"serve"}).vxi11AlternatePorts);
    EXPECT_EQ(parseCommandLine({"play", "a.tvr"}).tracePath, "out.txt");
    EXPECT_EQ(parseCommandLine({"play", "a.tvr", "--trace", "b.txt"}).tracePath, "b.txt");
    EXPECT_EQ(parseCommandLine({"serve", "--no-trace", "--no-trace"}).tracePath, "");

    // A name that only starts with dashes, or anything after "--", is an argument.
    EXPECT_EQ(parseCommandLine({"store", "1", "-- leeres Profil --"}).arguments,
              (std::vector<std::string>{"1", "-- leeres Profil --"}));
    EXPECT_EQ(parseCommandLine({"store", "1", "--", "--json"}).arguments,
              (std::vector<std::string>{"1", "--json"}));
}

TEST(CommandLine, HelpOfACommandNeedsNoneOfItsArguments) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"help", "store"}, {"store", "--help"}, {"--help", "store"}}) {
        const CommandLine line = parseCommandLine(args);
        EXPECT_TRUE(line.help);
        EXPECT_EQ(line.command, "store");
    }
    const CommandLine overview = parseCommandLine({"help"});
    EXPECT_TRUE(overview.help);
    EXPECT_EQ(overview.command, "");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--port"},
                                               {"--simulator", "--port", "x", "read"},
                                               {"--frobnicate", "read"},
                                               {"--verbose"},
                                               {"frobnicate"},
                                               {"help", "frobnicate"},
                                               {"help", "read", "set"},
                                               {"read", "extra"},
                                               {"read", "--yes"},
                                               {"set"},
                                               {"set", "--port", "x"},
                                               {"profiles", "1"},
                                               {"profile"},
                                               {"profile", "1", "2"},
                                               {"store", "1"},
                                               {"play"},
                                               {"play", "a.tvr", "--loop", "--once"},
                                               {"reset", "--loop"},
                                               {"serve", "--listen"},
                                               {"serve", "--trace"},
                                               {"play", "a.tvr", "--trace", ""},
                                               {"play", "a.tvr", "--trace", "b", "--no-trace"},
                                               {"serve", "--no-trace", "--trace", "b"},
                                               {"read", "--trace", "b"},
                                               {"set", "--no-trace", "Amplitude=1"},
                                               {"read", "--listen", "127.0.0.1:0"},
                                               {"read", "--vxi11-alternate-ports"},
                                               {"bootloader", "--json"}}) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.front());
        EXPECT_THROW(parseCommandLine(args), UsageError);
    }
}

}  // namespace
}  // namespace tavero::ctl
