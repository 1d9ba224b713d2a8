#pragma once
// Things to do later, in due order. Time is passed in, so the board can be driven by a
// made-up clock in tests; the main loop sleeps in poll() until next_due().
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace sim {

using Clock = std::chrono::steady_clock;
using Time_point = Clock::time_point;
using Millis = std::chrono::milliseconds;

class Timer_queue {
  public:
    // Ties in due time run in the order they were scheduled.
    using Id = std::pair<Time_point, std::uint64_t>;

    Id schedule(Time_point due, std::function<void()> action);
    void cancel(const Id& id) { entries_.erase(id); }
    std::optional<Time_point> next_due() const;
    // Runs everything due by `now`, including what the actions themselves schedule for then.
    void run_due(Time_point now);
    std::size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }

  private:
    std::map<Id, std::function<void()>> entries_;
    std::uint64_t next_sequence_ = 0;
};

}  // namespace sim
