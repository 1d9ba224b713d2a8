#pragma once
#include <QElapsedTimer>
#include <QObject>

#include "serial/event_services.h"

// Event services over Qt's own event loop and precise timers.
class Qt_event_services : public Event_services {
  public:
    Qt_event_services();
    std::unique_ptr<Window_timer> make_timer(std::function<void()> on_tick) override;
    std::unique_ptr<Window_timer> make_repaint_timer(std::function<void()> on_tick) override;
    void post(std::function<void()> fn) override;
    void wait_for_events() override;
    std::int64_t now_ms() const override;

  private:
    QObject context_;
    QElapsedTimer since_start_;
};
