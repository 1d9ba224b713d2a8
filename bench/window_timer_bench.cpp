#include <benchmark/benchmark.h>

#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/qt_event_services.h"
#include "bench/bench_support.h"
#include "bench/line_split.h"

// 1000 ticks of the window timer the program uses, through Qt's event loop: how late each
// one comes after its interval (it must never come early). The intervals run from 1 to
// 10 ms, each armed afresh as the procedures arm their pauses. Once with the loop otherwise
// idle, once with another source waking it every 3 ms at a phase of its own, as received
// lines or the mouse do.
static void tick_lateness(benchmark::State& state, bool other_events) {
    Qt_event_services events;
    QTimer other;
    other.setTimerType(Qt::PreciseTimer);
    int other_ticks = 0;
    QObject::connect(&other, &QTimer::timeout, [&] { ++other_ticks; });
    for (auto _ : state) {
        std::vector<double> late;
        double armed_at = 0;
        int interval = 1;
        std::unique_ptr<Window_timer> timer;
        timer = events.make_timer([&] {
            late.push_back(1e6 * (wall_seconds() - armed_at) - 1e3 * interval);
            timer->set_enabled(false);
        });
        if (other_events) other.start(3);
        const double cpu0 = process_cpu_seconds();
        const double wall0 = wall_seconds();
        for (int i = 0; i < 1000; ++i) {
            interval = 1 + i % 10;
            timer->set_interval(interval);
            armed_at = wall_seconds();
            timer->set_enabled(true);
            while (timer->enabled()) events.wait_for_events();
        }
        state.counters["cpu_pct_of_wall"] =
            100.0 * (process_cpu_seconds() - cpu0) / (wall_seconds() - wall0);
        other.stop();
        state.counters["ticks"] = double(late.size());
        state.counters["ticks_early"] =
            double(std::count_if(late.begin(), late.end(), [](double l) { return l < 0; }));
        state.counters["late_min_us"] = *std::min_element(late.begin(), late.end());
        state.counters["late_median_us"] = percentile(late, 0.5);
        state.counters["late_p90_us"] = percentile(late, 0.9);
        state.counters["late_p99_us"] = percentile(late, 0.99);
        state.counters["late_max_us"] = *std::max_element(late.begin(), late.end());
    }
    state.counters["other_wakeups"] = other_ticks;
}
static void BM_window_timer_ticks(benchmark::State& state) {
    tick_lateness(state, false);
}
static void BM_window_timer_ticks_with_other_events(benchmark::State& state) {
    tick_lateness(state, true);
}
BENCHMARK(BM_window_timer_ticks)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_window_timer_ticks_with_other_events)->Unit(benchmark::kSecond)->Iterations(1);
