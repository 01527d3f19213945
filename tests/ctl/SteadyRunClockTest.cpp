// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include "ctl/SteadyRunClock.h"

namespace tavero::ctl {
namespace {

using namespace std::chrono_literals;

TEST(SteadyRunClock, ACaughtInterruptEndsEveryWaitAtOnce) {
    SteadyRunClock clock;
    clock.catchInterrupts();
    EXPECT_EQ(clock.interruption(), 0);
    std::raise(SIGTERM);
    EXPECT_EQ(clock.interruption(), SIGTERM);
    // A wait of a day returns false at once rather than after the day.
    EXPECT_FALSE(clock.waitUntil(24h));
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

}  // namespace
}  // namespace tavero::ctl
