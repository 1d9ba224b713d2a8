#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "serial/event_services.h"

// Event services on a virtual clock: queued calls run in order; when none is pending,
// time jumps to the next due timer tick or scheduled action. When nothing at all is left,
// a waiting procedure could never go on: the clock marks itself stalled and ends the wait
// the way the program's end does, so a test never hangs.
class Virtual_clock : public Event_services {
  public:
    std::unique_ptr<Window_timer> make_timer(std::function<void()> on_tick) override;
    void post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }
    void wait_for_events() override;
    std::int64_t now_ms() const override { return now_; }

    // Runs fn when the clock reaches time t (absolute, ms).
    void at(std::int64_t t, std::function<void()> fn);
    void after(std::int64_t ms, std::function<void()> fn) { at(now_ + ms, std::move(fn)); }
    // Delivers everything due up to now, without moving the clock past now.
    void run_pending();
    // Moves the clock forward by ms, delivering everything due on the way.
    void advance(std::int64_t ms);
    bool stalled() const { return stalled_; }
    int timers_enabled() const;

  private:
    struct Timer;
    friend struct Timer;
    bool run_next_due(std::int64_t limit);
    void run_posted();

    std::int64_t now_ = 0;
    std::uint64_t sequence_ = 0;
    bool stalled_ = false;
    std::deque<std::function<void()>> posted_;
    std::multimap<std::pair<std::int64_t, std::uint64_t>, std::function<void()>> scheduled_;
    std::vector<Timer*> timers_;
};
