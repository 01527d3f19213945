// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built tavero-sim and talks to it over the pseudo-terminal it prints.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/GeneratorSettings.h"
#include "sim/FrameDecoder.h"
#include "sim/FrameEncoder.h"

extern char** environ;

namespace tavero::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// Only a safety stop so that a broken program cannot hang the test run; nothing is timed.
constexpr int kSafetyStopMs = 30000;

bool waitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, kSafetyStopMs) == 1;
}

class SimProgram {
public:
    explicit SimProgram(const std::vector<std::string>& args) {
        int fds[2] = {-1, -1};
        if (pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::vector<std::string> words = {TAVERO_SIM_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, TAVERO_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
    }

    ~SimProgram() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            close(out_);
        }
    }

    /// The next line of its standard output and error; nothing at their end.
    std::optional<std::string> readLine() {
        for (;;) {
            if (const std::size_t end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            char chunk[256];
            const ssize_t got = waitReadable(out_) ? read(out_, chunk, sizeof chunk) : 0;
            if (got <= 0) {
                return std::nullopt;
            }
            buffered_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    /// Reads log lines up to one that ends with `suffix`, e.g. " f 00 01 86 A0".
    bool skipToLineEndingWith(std::string_view suffix) {
        while (const std::optional<std::string> line = readLine()) {
            if (line->ends_with(suffix)) {
                return true;
            }
        }
        return false;
    }

    /// The exit status after SIGTERM, or after its own end when `terminate` is false.
    int exitStatus(bool terminate = true) {
        if (terminate) {
            kill(pid_, SIGTERM);
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string rest() {
        std::string text;
        while (const std::optional<std::string> line = readLine()) {
            text += *line + "\n";
        }
        return text + buffered_;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

class Terminal {
public:
    explicit Terminal(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    ~Terminal() { shut(); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    void shut() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

    bool send(const Bytes& payload) {
        const Bytes frame = encodeFrame(payload);
        return write(fd_, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size());
    }

    /// The payload of the next sound reply frame.
    std::optional<Bytes> receive() {
        while (waitReadable(fd_)) {
            std::uint8_t chunk[128];
            const ssize_t got = read(fd_, chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (decoder_.feed(chunk[i]) == FrameDecoder::Event::kFrame) {
                    return decoder_.payload();
                }
            }
        }
        return std::nullopt;
    }

private:
    int fd_;
    FrameDecoder decoder_;
};

Bytes parameterReply() {
    Bytes reply = {'P', 0x00, 0x78};
    const SettingsImage image = toSettingsImage(GeneratorSettings::emptyProfile());
    reply.insert(reply.end(), image.begin(), image.end());
    return reply;
}

TEST(TaveroSim, AnswersAParameterReadOnTheTerminalItPrints) {
    SimProgram program({});
    const std::optional<std::string> path = program.readLine();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(path->starts_with("/dev/")) << *path;
    Terminal terminal(*path);
    ASSERT_TRUE(terminal.isOpen());

    ASSERT_TRUE(terminal.send({'P'}));
    EXPECT_EQ(terminal.receive(), parameterReply());
    EXPECT_TRUE(program.skipToLineEndingWith("port opened"));
    EXPECT_TRUE(program.skipToLineEndingWith(" P"));
    EXPECT_EQ(program.exitStatus(), 0);
}

TEST(TaveroSim, PacedLineWithAFaultCarriesEveryByte) {
    SimProgram program({"--pace", "--fault", "nak:f:1"});
    const std::optional<std::string> path = program.readLine();
    ASSERT_TRUE(path.has_value());
    Terminal terminal(*path);
    const Bytes request = {'f', 0x00, 0x01, 0x86, 0xA0};

    ASSERT_TRUE(terminal.send(request));
    EXPECT_EQ(terminal.receive(), (Bytes{'f', 0x15}));
    ASSERT_TRUE(terminal.send(request));
    EXPECT_EQ(terminal.receive(), (Bytes{'f', 0x06}));
    EXPECT_TRUE(program.skipToLineEndingWith(" f 00 01 86 A0"));
    EXPECT_TRUE(program.skipToLineEndingWith(" f 00 01 86 A0"));
}

TEST(TaveroSim, ReopeningTheTerminalEndsTheBootloader) {
    SimProgram program({});
    const std::optional<std::string> path = program.readLine();
    ASSERT_TRUE(path.has_value());
    Terminal terminal(*path);
    ASSERT_TRUE(terminal.send({'!'}));
    ASSERT_TRUE(program.skipToLineEndingWith(" !"));
    terminal.shut();
    ASSERT_TRUE(program.skipToLineEndingWith("port closed"));

    Terminal again(*path);
    ASSERT_TRUE(again.send({'x', 1}));
    EXPECT_EQ(again.receive(), (Bytes{'x', 0x06}));
}

TEST(TaveroSim, ExplainsItselfAndRefusesBadOptions) {
    SimProgram help({"--help"});
    const std::string text = help.rest();
    EXPECT_EQ(help.exitStatus(false), 0);
    for (const char* word : {"--pace", "--fault", "no-reply", "wrong-letter", "unplug"}) {
        EXPECT_NE(text.find(word), std::string::npos) << word;
    }

    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--fault", "sometimes"},
         "tavero-sim: cannot read the fault rule 'sometimes'; see --help\n"},
        {{"--fault=nak:ff"}, "tavero-sim: cannot read the fault rule 'nak:ff'; see --help\n"},
        {{"--fault", "slow:f:0"},
         "tavero-sim: cannot read the fault rule 'slow:f:0'; see --help\n"},
        {{"--fault"}, "tavero-sim: bad option '--fault'; see --help\n"},
        {{"--paced"}, "tavero-sim: bad option '--paced'; see --help\n"},
    };
    for (const Case& c : cases) {
        SimProgram bad(c.args);
        EXPECT_EQ(bad.rest(), c.message);
        EXPECT_EQ(bad.exitStatus(false), 2);
    }
}

}  // namespace
}  // namespace tavero::sim
