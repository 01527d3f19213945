// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal serving in-process: the server on a thread of the test, a client on its terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "GermanLocale.h"
#include "sim/FrameEncoder.h"
#include "sim/TerminalServer.h"

namespace tavero::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// Only a safety stop so that a broken server cannot hang the test run; nothing is timed.
constexpr int kSafetyStopMs = 30000;

bool writeAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

/// The server's log lines, read as they come.
class LogReader {
public:
    explicit LogReader(int fd) : fd_(fd) {}

    /// Reads lines up to one that ends with `suffix`; every line read is kept.
    bool skipTo(std::string_view suffix) {
        for (;;) {
            if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
                const std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                lines_ += line + '\n';
                if (line.ends_with(suffix)) {
                    return true;
                }
                continue;
            }
            pollfd p{fd_, POLLIN, 0};
            char chunk[256];
            const ssize_t got =
                poll(&p, 1, kSafetyStopMs) == 1 ? read(fd_, chunk, sizeof chunk) : 0;
            if (got <= 0) {
                return false;
            }
            pending_.append(chunk, static_cast<std::size_t>(got));
        }
    }
    const std::string& lines() const { return lines_; }

private:
    int fd_;
    std::string pending_;
    std::string lines_;
};

// A flood far faster than the paced line: memory stays bounded, the drop is logged, and the
// next client's command still reaches the generator.
TEST(TerminalServer, PacedLineUnderAFloodKeepsItsQueueBoundedAndLogsTheDrop) {
    // As in a Qt program under a German locale, whose "%.6f" would write a comma.
    const std::string german = testing::germanLocale();
    ASSERT_FALSE(german.empty()) << "no German locale and localedef could not build one";
    const testing::ScopedCLocale locale(german);
    std::string slavePath;
    const int master = openRawTerminal(slavePath);
    ASSERT_GE(master, 0);
    int stop[2] = {-1, -1};
    int logPipe[2] = {-1, -1};
    ASSERT_EQ(pipe(stop), 0);
    ASSERT_EQ(pipe(logPipe), 0);
    std::FILE* log = fdopen(logPipe[1], "w");
    ASSERT_NE(log, nullptr);
    TerminalServer server(master, stop[0], {.pace = true, .faults = {}}, log);
    bool served = false;
    std::thread serving([&] { served = server.run(); });
    LogReader logged(logPipe[0]);

    // More than the terminal itself buffers, so the server must have taken most of it.
    int client = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(client, 0);
    EXPECT_TRUE(writeAll(client, Bytes(1024 * 1024, 'A')));
    close(client);
    EXPECT_TRUE(logged.skipTo(" port closed")) << logged.lines();
    EXPECT_NE(logged.lines().find(" dropped "), std::string::npos) << logged.lines();
    EXPECT_LE(server.peakQueuedBytes(), TerminalServer::kLineQueueLimit);

    client = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    EXPECT_TRUE(writeAll(client, encodeFrame(Bytes{'x', 1})));
    EXPECT_TRUE(logged.skipTo(" x 01")) << logged.lines();
    EXPECT_EQ(logged.lines().find(','), std::string::npos) << logged.lines();

    const char byte = 0;
    EXPECT_EQ(write(stop[1], &byte, 1), 1);
    serving.join();
    EXPECT_TRUE(served);
    std::fclose(log);
    for (const int fd : {client, master, stop[0], stop[1], logPipe[0]}) {
        close(fd);
    }
}

}  // namespace
}  // namespace tavero::sim
