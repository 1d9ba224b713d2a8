#pragma once
#include <cstdint>

// The steps of a precise window timer on Qt's event loop. The loop sleeps in whole
// milliseconds counted from the moment it last woke, so a wait that something else woke at
// an odd moment would end up to a millisecond late. The timer therefore sleeps in the loop
// until the last millisecond of its interval has begun, and sleeps that last fraction of a
// millisecond on the spot.
struct Tick_step {
    enum Kind { tick, rearm, nap };
    Kind kind = tick;
    std::int64_t amount = 0;  // milliseconds to re-arm for, or nanoseconds to sleep
};

constexpr std::int64_t kNsPerMs = 1000000;

// The first sleep of a period: a millisecond short of the interval.
constexpr int first_leg_ms(int interval_ms) {
    return interval_ms > 1 ? interval_ms - 1 : 0;
}

// What to do when the loop's timer comes back with left_ns of the interval still to go.
// It never ticks while any time is left; a re-arming leaves at most a millisecond to go.
constexpr Tick_step next_tick_step(std::int64_t left_ns) {
    if (left_ns <= 0) return {Tick_step::tick, 0};
    if (left_ns > kNsPerMs) return {Tick_step::rearm, (left_ns - 1) / kNsPerMs};
    return {Tick_step::nap, left_ns};
}
