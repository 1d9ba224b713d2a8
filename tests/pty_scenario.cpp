#include "tests/pty_scenario.h"

namespace {
constexpr int kTickMs = 20;
}  // namespace

Scenario::Scenario() {
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
}

Scenario& Scenario::then(std::function<bool()> when, std::function<void()> action) {
    steps_.push_back({std::move(when), std::move(action)});
    if (!timer_.isActive()) timer_.start();
    return *this;
}

Scenario& Scenario::then(std::function<void()> action) {
    return then([] { return true; }, std::move(action));
}

void Scenario::tick() {
    if (in_action_) return;
    if (next_ < steps_.size() && steps_[next_].when()) {
        // One step per tick: the events its action caused are delivered before the next
        // condition is looked at.
        const std::function<void()> action = steps_[next_].action;
        ++next_;
        in_action_ = true;
        action();
        in_action_ = false;
    }
    if (finished()) timer_.stop();
}
