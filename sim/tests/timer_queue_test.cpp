#include "timer_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace sim {
namespace {

const Time_point kStart = Time_point{} + std::chrono::hours(1);

TEST(TimerQueue, RunsDueEntriesInOrderAndKeepsTheRest) {
    Timer_queue timers;
    std::string ran;
    timers.schedule(kStart + Millis{30}, [&] { ran += 'c'; });
    timers.schedule(kStart + Millis{10}, [&] { ran += 'a'; });
    timers.schedule(kStart + Millis{10}, [&] { ran += 'b'; });  // same time: after 'a'
    EXPECT_EQ(timers.next_due(), kStart + Millis{10});
    timers.run_due(kStart + Millis{20});
    EXPECT_EQ(ran, "ab");
    EXPECT_EQ(timers.next_due(), kStart + Millis{30});
    timers.run_due(kStart + Millis{30});
    EXPECT_EQ(ran, "abc");
    EXPECT_FALSE(timers.next_due().has_value());
}

TEST(TimerQueue, CancelledEntriesNeverRun) {
    Timer_queue timers;
    bool ran = false;
    const auto id = timers.schedule(kStart, [&] { ran = true; });
    timers.cancel(id);
    timers.run_due(kStart + Millis{100});
    EXPECT_FALSE(ran);
}

TEST(TimerQueue, WhatAnEntrySchedulesForNowRunsInTheSameCall) {
    Timer_queue timers;
    int count = 0;
    timers.schedule(kStart, [&] {
        ++count;
        timers.schedule(kStart, [&] { ++count; });
        timers.schedule(kStart + Millis{1}, [&] { ++count; });
    });
    timers.run_due(kStart);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(timers.size(), 1U);
}

}  // namespace
}  // namespace sim
