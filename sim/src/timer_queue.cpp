#include "timer_queue.h"

namespace sim {

Timer_queue::Id Timer_queue::schedule(Time_point due, std::function<void()> action) {
    const Id id{due, next_sequence_++};
    entries_.emplace(id, std::move(action));
    return id;
}

std::optional<Time_point> Timer_queue::next_due() const {
    if (entries_.empty()) return std::nullopt;
    return entries_.begin()->first.first;
}

void Timer_queue::run_due(Time_point now) {
    while (!entries_.empty() && entries_.begin()->first.first <= now) {
        auto node = entries_.extract(entries_.begin());
        node.mapped()();
    }
}

}  // namespace sim
