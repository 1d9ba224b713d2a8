#pragma once
#include <functional>

#include "serial/event_services.h"

// The waiting primitive of the long procedures. wait_until sleeps in the event loop and
// re-checks its condition after every delivery of events, so the receive handler, the timer
// ticks and every click (also a second press of the running procedure's own button) run
// while a procedure waits. It never spins. Once the program is ending it throws
// Program_ending so no further step of the waiting procedure runs.
class Pump {
  public:
    explicit Pump(Event_services& events) : events_(events) {}

    void wait_until(const std::function<bool()>& done);
    // Lets the events already pending run, without sleeping.
    void yield();
    void request_end() { ending_ = true; }
    bool ending() const { return ending_; }
    void check_ending() const;
    Event_services& events() { return events_; }

  private:
    Event_services& events_;
    bool ending_ = false;
};
