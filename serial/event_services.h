#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// A window timer: a millisecond interval and an enabled switch; while enabled it ticks
// every interval on the window thread. Ticks are minimum waits, never early.
class Window_timer {
  public:
    virtual ~Window_timer() = default;
    virtual void set_interval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void set_enabled(bool on) = 0;
    virtual bool enabled() const = 0;
};

// The outside world's clock and event loop, as the handlers see it: timers, queued calls
// on the window thread and a sleep until the next event. The program uses Qt's loop; the
// tests use a virtual clock that jumps to the next due event.
class Event_services {
  public:
    virtual ~Event_services() = default;
    virtual std::unique_ptr<Window_timer> make_timer(std::function<void()> on_tick) = 0;
    // A timer for a picture that follows a stream: a minimum wait as well, but it may come
    // a little late, which costs the picture nothing.
    virtual std::unique_ptr<Window_timer> make_repaint_timer(std::function<void()> on_tick) {
        return make_timer(std::move(on_tick));
    }
    // Runs fn later on the window thread, after the events already pending.
    virtual void post(std::function<void()> fn) = 0;
    // Delivers pending events; when there are none, sleeps until at least one arrives.
    virtual void wait_for_events() = 0;
    // Milliseconds since some fixed start, for logs and tests.
    virtual std::int64_t now_ms() const = 0;
};
