#include "tests/support/virtual_clock.h"

#include <algorithm>
#include <limits>

#include "serial/failures.h"

struct Virtual_clock::Timer : Window_timer {
    Timer(Virtual_clock& c, std::function<void()> tick) : clock(c), on_tick(std::move(tick)) {
        clock.timers_.push_back(this);
    }
    ~Timer() override { std::erase(clock.timers_, this); }
    void set_interval(int ms) override {
        interval_ms = ms;
        if (on) due = clock.now_ + interval_ms;
    }
    int interval() const override { return interval_ms; }
    void set_enabled(bool enable) override {
        if (enable && !on) due = clock.now_ + interval_ms;
        on = enable;
    }
    bool enabled() const override { return on; }

    Virtual_clock& clock;
    std::function<void()> on_tick;
    int interval_ms = 1000;
    bool on = false;
    std::int64_t due = 0;
};

std::unique_ptr<Window_timer> Virtual_clock::make_timer(std::function<void()> on_tick) {
    return std::make_unique<Timer>(*this, std::move(on_tick));
}

void Virtual_clock::at(std::int64_t t, std::function<void()> fn) {
    scheduled_.emplace(std::make_pair(std::max(t, now_), sequence_++), std::move(fn));
}

int Virtual_clock::timers_enabled() const {
    return int(std::count_if(timers_.begin(), timers_.end(), [](const Timer* t) { return t->on; }));
}

void Virtual_clock::run_posted() {
    // Only what was pending when we started: calls posted meanwhile wait for the next round.
    std::size_t n = posted_.size();
    while (n-- > 0 && !posted_.empty()) {
        auto fn = std::move(posted_.front());
        posted_.pop_front();
        fn();
    }
}

// Runs the earliest timer tick or scheduled action due at or before limit.
bool Virtual_clock::run_next_due(std::int64_t limit) {
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    Timer* timer = nullptr;
    for (Timer* t : timers_) {
        if (t->on && t->due < next) {
            next = t->due;
            timer = t;
        }
    }
    const bool action_first = !scheduled_.empty() && scheduled_.begin()->first.first <= next;
    if (action_first) next = scheduled_.begin()->first.first;
    if (!action_first && timer == nullptr) return false;  // nothing at all is left
    if (next > limit) return false;
    now_ = std::max(now_, next);
    if (action_first) {
        auto fn = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        fn();
    } else {
        timer->due = now_ + timer->interval_ms;
        timer->on_tick();
    }
    return true;
}

void Virtual_clock::wait_for_events() {
    if (!posted_.empty()) {
        run_posted();
        return;
    }
    if (!run_next_due(std::numeric_limits<std::int64_t>::max())) {
        stalled_ = true;
        throw Program_ending{};
    }
}

void Virtual_clock::run_pending() {
    do {
        while (!posted_.empty()) run_posted();
    } while (run_next_due(now_));
}

void Virtual_clock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        while (!posted_.empty()) run_posted();
        if (!run_next_due(end)) break;
    }
    now_ = end;
}
