// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "ctl/SteadyRunClock.h"

namespace tavero::ctl {
namespace {

using namespace std::chrono_literals;

TEST(SteadyRunClock, ACaughtInterruptEndsEveryWaitAtOnce) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        SteadyRunClock clock;
        clock.catchInterrupts();
        EXPECT_EQ(clock.interruption(), 0);
        std::raise(signal);
        EXPECT_EQ(clock.interruption(), signal);
        // A wait of a day returns false at once rather than after the day.
        EXPECT_FALSE(clock.waitUntil(24h));
    }
}

TEST(SteadyRunClock, AnInterruptCaughtBeforeDoesNotStopTheNextRun) {
    {
        SteadyRunClock earlier;
        earlier.catchInterrupts();
        std::raise(SIGINT);
    }
    SteadyRunClock clock;
    EXPECT_EQ(clock.interruption(), 0);
    clock.catchInterrupts();
    EXPECT_EQ(clock.interruption(), 0);
    EXPECT_TRUE(clock.waitUntil(0ms));
}

TEST(SteadyRunClock, AnInterruptTheProgramWasStartedToIgnoreStaysIgnored) {
    std::signal(SIGINT, SIG_IGN);
    {
        SteadyRunClock clock;
        clock.catchInterrupts();
        std::raise(SIGINT);
        EXPECT_EQ(clock.interruption(), 0);
    }
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_IGN);
}

TEST(SteadyRunClock, AWatchedOutputWhoseReaderHasGoneEndsEveryWaitAtOnce) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    SteadyRunClock clock(ends[1]);
    EXPECT_TRUE(clock.waitForOutput());
    EXPECT_TRUE(clock.waitUntil(0ms));
    ::close(ends[0]);
    EXPECT_FALSE(clock.waitUntil(24h));
    EXPECT_FALSE(clock.waitForOutput());
    EXPECT_EQ(clock.interruption(), 0);
    ::close(ends[1]);
}

TEST(SteadyRunClock, AnInterruptEndsOnlyTheWaitForRoomInAFullOutput) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
    const std::string filler(4096, 'x');
    while (::write(ends[1], filler.data(), filler.size()) > 0) {
    }
    SteadyRunClock clock(ends[1]);
    clock.catchInterrupts();
    // Before or while the clock waits: either way the wait ends.
    std::thread signaller([] { std::raise(SIGTERM); });
    EXPECT_FALSE(clock.waitForOutput());
    signaller.join();
    EXPECT_EQ(clock.interruption(), SIGTERM);
    // With room again the line goes out, interrupt or not.
    std::string drained(filler.size(), '\0');
    EXPECT_GT(::read(ends[0], drained.data(), drained.size()), 0);
    EXPECT_TRUE(clock.waitForOutput());
    ::close(ends[0]);
    ::close(ends[1]);
}

}  // namespace
}  // namespace tavero::ctl
