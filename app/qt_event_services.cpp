#include "app/qt_event_services.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/tick_steps.h"

namespace {

// A periodic window timer built on a precise single-shot QTimer. Each period is measured
// from its own start with a monotonic clock, so a tick never comes early; its last
// millisecond is timed as tick_steps.h says, so it does not come a millisecond late either.
class Qt_window_timer : public Window_timer {
  public:
    // A timer that is not exact may come up to a millisecond late and never sleeps on the spot.
    Qt_window_timer(std::function<void()> on_tick, bool exact)
        : on_tick_(std::move(on_tick)), exact_(exact) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fired(); });
    }
    void set_interval(int ms) override {
        interval_ = ms < 0 ? 0 : ms;
        if (enabled_) restart();
    }
    int interval() const override { return interval_; }
    void set_enabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        if (on) {
            restart();
        } else {
            timer_.stop();
        }
    }
    bool enabled() const override { return enabled_; }

  private:
    void restart() {
        period_start_.start();
        timer_.start(exact_ ? first_leg_ms(interval_) : interval_);
    }
    void fired() {
        const qint64 due_ns = qint64(interval_) * kNsPerMs;
        for (;;) {
            const Tick_step step = next_tick_step(due_ns - period_start_.nsecsElapsed());
            if (step.kind == Tick_step::tick) break;
            if (step.kind == Tick_step::rearm || !exact_) {
                timer_.start(step.kind == Tick_step::rearm ? int(step.amount) : 1);
                return;
            }
            std::this_thread::sleep_for(std::chrono::nanoseconds(step.amount));
        }
        restart();  // periodic until the tick handler disables it
        on_tick_();
    }

    std::function<void()> on_tick_;
    bool exact_;
    QTimer timer_;
    QElapsedTimer period_start_;
    int interval_ = 1000;
    bool enabled_ = false;
};

}  // namespace

Qt_event_services::Qt_event_services() {
    since_start_.start();
}

std::unique_ptr<Window_timer> Qt_event_services::make_timer(std::function<void()> on_tick) {
    return std::make_unique<Qt_window_timer>(std::move(on_tick), true);
}

std::unique_ptr<Window_timer> Qt_event_services::make_repaint_timer(std::function<void()> on_tick) {
    return std::make_unique<Qt_window_timer>(std::move(on_tick), false);
}

void Qt_event_services::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(&context_, std::move(fn), Qt::QueuedConnection);
}

void Qt_event_services::wait_for_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::int64_t Qt_event_services::now_ms() const {
    return since_start_.elapsed();
}
