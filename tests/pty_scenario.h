#pragma once
#include <QTimer>
#include <cstddef>
#include <functional>
#include <vector>

// Steps played while a transfer runs inside its click handler, where the test body cannot
// act: each step's action runs once its condition holds, in the order the steps were added.
// The conditions are looked at on the ticks of a short timer, so the steps go on only as
// long as the window's event loop does; a wait that stopped delivering events would leave
// the scenario unfinished.
class Scenario {
  public:
    Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // Adds a step; the first one starts the ticks.
    Scenario& then(std::function<bool()> when, std::function<void()> action);
    // A step that runs at the next tick after the one before it.
    Scenario& then(std::function<void()> action);
    bool finished() const { return next_ == steps_.size(); }
    void stop() { timer_.stop(); }

  private:
    struct Step {
        std::function<bool()> when;
        std::function<void()> action;
    };
    void tick();

    QTimer timer_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool in_action_ = false;  // an action that waits itself must not be entered again
};
