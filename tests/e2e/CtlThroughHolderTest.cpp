// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "ChildProcess.h"
#include "HeadlessHost.h"
#include "qt/SecondWindow.h"

// tavero-ctl while `tavero-ctl serve` holds the generator on tavero-sim's pseudo-terminal: the
// commands reach the generator through the server, whose connection the simulator logs.

namespace tavero::testing {
namespace {

class CtlThroughHolder : public ::testing::Test {
protected:
    CtlThroughHolder() {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        simulatorPath_ = simulator_.readLine().value_or("");
    }
    ~CtlThroughHolder() override {
        simulator_.stop(SIGTERM);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        std::filesystem::remove_all(runtime_, ignored);
    }

    /// tavero-ctl on the simulator's terminal, with the test's folder for its data, its socket
    /// and its work.
    std::vector<std::string> command(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"/usr/bin/env",
                                         "-C",
                                         folder_.string(),
                                         "XDG_DATA_HOME=" + folder_.string(),
                                         "XDG_RUNTIME_DIR=" + runtime_.string(),
                                         TAVERO_CTL_PATH,
                                         "--port",
                                         simulatorPath_};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }

    /// The letters of the next `n` commands the simulator got, or its port events.
    std::vector<std::string> nextEvents(std::size_t n) {
        std::vector<std::string> events;
        while (events.size() < n) {
            const std::string line = simulator_.readLine().value_or("<end of log>");
            const std::string event = line.substr(line.find(' ') + 1);
            events.push_back(event.starts_with("port") ? event : event.substr(0, 1));
        }
        return events;
    }

    /// `serve`, once it listens, after its connect and read.
    std::unique_ptr<ChildProcess> startServe() {
        auto serve = std::make_unique<ChildProcess>(
            command({"serve", "--listen", "127.0.0.1:0", "--no-trace"}));
        EXPECT_EQ(serve->readLine().value_or("").rfind("Listening on ", 0), 0U);
        EXPECT_EQ(nextEvents(3), (std::vector<std::string>{"port opened", "x", "P"}));
        return serve;
    }

    const std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        (std::string("tavero-holder-e2e-") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    /// Short, wherever the tests' temporary folder lies: a socket's path holds 107 bytes.
    const std::filesystem::path runtime_ = [] {
        char name[] = "/tmp/tavero-e2e-XXXXXX";
        return std::filesystem::path(::mkdtemp(name) != nullptr ? name : "");
    }();
    ChildProcess simulator_{{TAVERO_SIM_PATH}};
    std::string simulatorPath_;
};

TEST_F(CtlThroughHolder, CommandsGoThroughTheServerThatHoldsTheGenerator) {
    const std::filesystem::path list = folder_ / "Eins.tvr";
    std::ofstream(list) << "<Playlist Anzahl=\"1\" Schleife=\"0\">\r\n\t<Playlistelement_1 "
                           "Amplitude=\"100\" Frequenz=\"100000\" Duration=\"0\" "
                           "ElementNr=\"1\">\r\n\t\tEins\r\n\t</Playlistelement_1>\r\n"
                           "</Playlist>\r\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart;
        std::string errPart;
        std::vector<std::string> sent;  ///< the letters of the commands, through the server
    };
    const std::vector<Case> cases = {
        {{"set", "Frequenz=100000"}, 0, "", "", {"P", "f"}},
        {{"read"}, 0, "Firmwareversion 1.20\nFrequenz=100000\n", "", {"P"}},
        {{"bootloader", "--yes"}, 1, "", "tavero-ctl serve (process ", {}},
        {{"store", "2", "Bank"}, 0, "", "", {"P"}},
        {{"load", "2"}, 0, "", "", {"p"}},
        {{"play", list.string(), "--once"}, 0, "1: Eins, Dauer: 1 s\n", "", {"p"}},
        {{"reset", "--yes"}, 0, "Firmwareversion 1.20\n", "", {"r", "P"}},
    };
    const std::unique_ptr<ChildProcess> serve = startServe();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const Finished run = runProgram(command(c.args));
        EXPECT_EQ(run.exitStatus, c.status) << run.err;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
        EXPECT_EQ(c.errPart.empty(), run.err.empty()) << run.err;
        EXPECT_EQ(nextEvents(c.sent.size()), c.sent);
    }
    // The profile went into the file the window shares.
    const Finished profile = runProgram(command({"profile", "2"}));
    EXPECT_NE(profile.out.find("\nName=Bank\n"), std::string::npos) << profile.err;
    // Nothing else reached the generator: no second connect, no notice but the server's own.
    EXPECT_EQ(serve->stop(SIGINT), 0);
    EXPECT_EQ(nextEvents(2), (std::vector<std::string>{"x", "port closed"}));
}

TEST_F(CtlThroughHolder, AKilledOrHungServerDoesNotHoldTheToolUp) {
    struct Case {
        int signal;
        int status;
        std::string errPart;
        /// What the simulator sees after the command and the server's end.
        std::vector<std::string> events;
    };
    const std::vector<Case> cases = {
        // The socket left behind is passed over, and the tool opens the port by itself.
        {SIGKILL, 0, "", {"port closed", "port opened", "x", "P", "x", "port closed"}},
        {SIGSTOP,
         1,
         "which holds the generator, did not answer within 5 s\n",
         {"x", "port closed"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        std::unique_ptr<ChildProcess> serve = startServe();
        if (c.signal == SIGKILL) {
            serve->stop(SIGKILL);
        } else {
            serve->signal(c.signal);
        }
        const Finished run = runProgram(command({"read"}));
        EXPECT_EQ(run.exitStatus, c.status) << run.err;
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
        if (c.signal != SIGKILL) {
            serve->signal(SIGCONT);
            EXPECT_EQ(serve->stop(SIGINT), 0);
        }
        EXPECT_EQ(nextEvents(c.events.size()), c.events);
    }
}

TEST_F(CtlThroughHolder, ASecondWindowSaysWhichProgramHoldsTheGenerator) {
    // The window looks in the folder of the process it runs in.
    const char* const runtimeBefore = std::getenv("XDG_RUNTIME_DIR");
    const std::string kept = runtimeBefore != nullptr ? runtimeBefore : "";
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    int argc = 1;
    char name[] = "e2e_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    const QStringList devices = {QString::fromStdString(simulatorPath_)};

    std::unique_ptr<ChildProcess> serve = startServe();
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held);
        headless::HeadlessHost host;
        EXPECT_EQ(qt::tellWhoHoldsTheGenerator(host, devices), held);
        EXPECT_EQ(host.messageBoxes().size(), held ? 1U : 0U);
        if (held && !host.messageBoxes().empty()) {
            const ui::MessageBoxRequest& box = host.messageBoxes()[0].box;
            EXPECT_EQ(box.caption, "Verbindungsfehler");
            EXPECT_EQ(box.text.rfind("tavero-ctl serve (Prozess ", 0), 0U) << box.text;
            EXPECT_EQ(box.buttons, ui::Buttons::Ok);  // serve has no window to bring forward
        }
        if (held) {
            EXPECT_EQ(serve->stop(SIGINT), 0);
        }
    }
    if (runtimeBefore != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", kept.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

}  // namespace
}  // namespace tavero::testing
