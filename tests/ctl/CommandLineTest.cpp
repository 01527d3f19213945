#include <gtest/gtest.h>

#include "ctl/CommandLine.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {
namespace {

TEST(CommandLine, PicksBridgeCommandAndArguments) {
    const CommandLine usb = parseCommandLine({"read"});
    EXPECT_EQ(usb.bridge, BridgeChoice::kUsb);
    EXPECT_EQ(usb.command, "read");

    const CommandLine port =
        parseCommandLine({"--port", "/dev/pts/3", "set", "Amplitude=1", "--port"});
    EXPECT_EQ(port.bridge, BridgeChoice::kPort);
    EXPECT_EQ(port.portPath, "/dev/pts/3");
    EXPECT_EQ(port.command, "set");
    EXPECT_EQ(port.arguments, (std::vector<std::string>{"Amplitude=1", "--port"}));

    const CommandLine simulated = parseCommandLine({"--simulator", "--verbose", "read"});
    EXPECT_EQ(simulated.bridge, BridgeChoice::kSimulator);
    EXPECT_TRUE(simulated.verbose);

    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--port"},
                                               {"--simulator", "--port", "x", "read"},
                                               {"--frobnicate", "read"},
                                               {"--verbose"}}) {
        EXPECT_THROW(parseCommandLine(args), UsageError);
    }
}

}  // namespace
}  // namespace tavero::ctl
