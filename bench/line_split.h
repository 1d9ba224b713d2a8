#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/qt_event_services.h"
#include "bench/bench_support.h"
#include "serial/event_services.h"

// Where the time of one upload line goes: the moments from the "#$" being read off the port
// to the next line going out, noted as they happen and split per line afterwards.
class Line_split {
  public:
    enum Moment { read, mailbox, woken, armed, ticked, output };

    // The timer whose arming and ticks count (the transfer's Timer1).
    void watch(const Window_timer* timer) { watched_ = timer; }
    bool watches(const Window_timer* timer) const { return timer == watched_; }

    void note(Moment m) { moments_.emplace_back(m, wall_seconds()); }
    void note_arming(int interval_ms) {
        note(armed);
        intervals_.push_back(interval_ms);
    }

    // The stages of each complete line, in microseconds, by name in their order.
    std::vector<std::pair<std::string, std::vector<double>>> stages() const {
        std::vector<std::pair<std::string, std::vector<double>>> out = {
            {"read_to_mailbox", {}}, {"mailbox_to_wakeup", {}}, {"wakeup_to_arming", {}},
            {"arming_to_tick", {}},  {"tick_to_wakeup", {}},    {"wakeup_to_output", {}},
            {"read_to_output", {}}};
        // One line: the last read before the mailbox, then the first of each later moment.
        const std::vector<Moment> order = {read, mailbox, woken, armed, ticked, woken, output};
        double last_read = 0;
        std::size_t step = 0;
        std::vector<double> at(order.size());
        for (const auto& [m, t] : moments_) {
            if (m == read) last_read = t;
            if (m == mailbox) {
                step = 2;
                at[0] = last_read;
                at[1] = t;
                continue;
            }
            if (step == 0 || step >= order.size() || m != order[step]) continue;
            at[step++] = t;
            if (step < order.size()) continue;
            for (std::size_t i = 0; i + 1 < order.size(); ++i) {
                out[i].second.push_back(1e6 * (at[i + 1] - at[i]));
            }
            out.back().second.push_back(1e6 * (at.back() - at.front()));
            step = 0;
        }
        return out;
    }

    // How late each tick came after its arming plus the interval, in microseconds.
    std::vector<double> tick_lateness_us() const {
        std::vector<double> late;
        double armed_at = -1;
        std::size_t arming = 0;
        int interval = 0;
        for (const auto& [m, t] : moments_) {
            if (m == armed) {
                armed_at = t;
                interval = intervals_[arming++];
            } else if (m == ticked && armed_at >= 0) {
                late.push_back(1e6 * (t - armed_at) - 1e3 * interval);
                armed_at = -1;
            }
        }
        return late;
    }

  private:
    std::vector<std::pair<Moment, double>> moments_;
    std::vector<int> intervals_;
    const Window_timer* watched_ = nullptr;
};

// The value below which the given share of the values lies.
inline double percentile(std::vector<double> v, double share) {
    if (v.empty()) return 0;
    const auto k = std::size_t(share * double(v.size() - 1) + 0.5);
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(k), v.end());
    return v[k];
}

// A window timer that notes its arming and its ticks while its split watches it.
class Noting_timer : public Window_timer {
  public:
    explicit Noting_timer(Line_split& split) : split_(split) {}
    void wrap(std::unique_ptr<Window_timer> inner) { inner_ = std::move(inner); }
    void set_interval(int ms) override { inner_->set_interval(ms); }
    int interval() const override { return inner_->interval(); }
    void set_enabled(bool on) override {
        if (on && !inner_->enabled() && split_.watches(this)) split_.note_arming(interval());
        inner_->set_enabled(on);
    }
    bool enabled() const override { return inner_->enabled(); }
    void ticked() const {
        if (split_.watches(this)) split_.note(Line_split::ticked);
    }

  private:
    std::unique_ptr<Window_timer> inner_;
    Line_split& split_;
};

// Qt's event loop, noting each return from a wait; its timers note their arming and ticks
// once the split watches them (the window keeps the timers it made, so they are not
// replaced after it is built).
class Noting_events : public Qt_event_services {
  public:
    explicit Noting_events(Line_split& split) : split_(split) {}
    void wait_for_events() override {
        Qt_event_services::wait_for_events();
        split_.note(Line_split::woken);
    }
    std::unique_ptr<Window_timer> make_timer(std::function<void()> on_tick) override {
        auto timer = std::make_unique<Noting_timer>(split_);
        timer->wrap(
            Qt_event_services::make_timer([noting = timer.get(), on_tick = std::move(on_tick)] {
                noting->ticked();
                on_tick();
            }));
        return timer;
    }

  private:
    Line_split& split_;
};
