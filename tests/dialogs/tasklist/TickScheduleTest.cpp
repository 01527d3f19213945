// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "qt/TickSchedule.h"

namespace tavero::qt {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

const TickSchedule::Clock::time_point kStart{std::chrono::hours(5)};

TEST(TickScheduleTest, LateTicksKeepTheGridAndMergeTheGridPointsTheyMissed) {
    struct Take {
        milliseconds at;       ///< when the tick due is taken, from the start
        milliseconds nextDue;  ///< from the start
    };
    const std::vector<Take> takes = {
        {milliseconds(1000), milliseconds(2000)},  // on time
        {milliseconds(2300), milliseconds(3000)},  // late: the next keeps its place
        {milliseconds(3999), milliseconds(4000)},  // late by almost a period
        {milliseconds(6500), milliseconds(7000)},  // 5000 and 6000 merge into this one
        {milliseconds(8000), milliseconds(9000)},  // exactly on the point after the due one
    };
    TickSchedule schedule(kStart, milliseconds(1000));
    EXPECT_EQ(schedule.due(), kStart + milliseconds(1000));
    for (const Take& take : takes) {
        SCOPED_TRACE(take.at.count());
        schedule.advancePast(kStart + take.at);
        EXPECT_EQ(schedule.due(), kStart + take.nextDue);
    }
}

TEST(TickScheduleTest, TheWaitIsRoundedUpSoThatATimerNeverFiresEarly) {
    const TickSchedule schedule(kStart, milliseconds(1000));
    EXPECT_EQ(schedule.waitFrom(kStart), milliseconds(1000));
    EXPECT_EQ(schedule.waitFrom(kStart + microseconds(998'800)), milliseconds(2));
    EXPECT_EQ(schedule.waitFrom(kStart + milliseconds(999)), milliseconds(1));
    EXPECT_EQ(schedule.waitFrom(kStart + milliseconds(1000)), milliseconds(0));
    EXPECT_EQ(schedule.waitFrom(kStart + milliseconds(1700)), milliseconds(0));
}

}  // namespace
}  // namespace tavero::qt
