#include <gtest/gtest.h>

#include "app/tick_steps.h"

// The steps of a window timer for every time still left when the loop's timer comes back
// (to the microsecond, up to three milliseconds): it ticks only when nothing is left; a
// re-arming for whole milliseconds ends before the interval does, with at most one
// millisecond left; what is slept on the spot is exactly what is left, and never more than
// a millisecond.
TEST(Tick_steps, ATickIsNeverEarlyAndOnlyTheLastMillisecondIsSleptOnTheSpot) {
    EXPECT_EQ(first_leg_ms(36), 35);
    EXPECT_EQ(first_leg_ms(2), 1);
    EXPECT_EQ(first_leg_ms(1), 0);
    EXPECT_EQ(first_leg_ms(0), 0);
    for (std::int64_t left = -5000; left <= 3 * kNsPerMs + 5000; left += 1000) {
        const Tick_step step = next_tick_step(left);
        switch (step.kind) {
            case Tick_step::tick:
                EXPECT_LE(left, 0);
                break;
            case Tick_step::rearm:
                EXPECT_GE(step.amount, 1) << left;
                EXPECT_LT(step.amount * kNsPerMs, left) << left;
                EXPECT_LE(left - step.amount * kNsPerMs, kNsPerMs) << left;
                break;
            case Tick_step::nap:
                EXPECT_GT(left, 0);
                EXPECT_LE(left, kNsPerMs);
                EXPECT_EQ(step.amount, left);
                break;
        }
    }
    EXPECT_EQ(next_tick_step(0).kind, Tick_step::tick);
    EXPECT_EQ(next_tick_step(kNsPerMs).kind, Tick_step::nap);
    EXPECT_EQ(next_tick_step(kNsPerMs + 1).amount, 1);
    EXPECT_EQ(next_tick_step(35 * kNsPerMs).amount, 34);
}
