#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "app/line_list.h"
#include "app/log_search.h"
#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/session_record.h"
#include "app/vimbo_form.h"
#include "bench/bench_form.h"
#include "bench/bench_support.h"

// The session record and the log's keys: the record is on (as it is by default) and
// writes real files in a temporary working folder; the log shows each line's time.
namespace {

const QString kLine = QStringLiteral("+CSQ: 21,0 and some more text to be 40 c");
// CPU time of this thread: what a line costs, without the moments the process waited.
double thread_cpu_us() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

// A continuous 115200 baud stream of console lines for 5 s of the real event loop, handed
// over every 2 ms, every line recorded and shown with its time: the share of one core.
// Argument 0: the same stream with the record off and no times shown, for comparison.
static void BM_record_stream_115200(benchmark::State& state) {
    Bench_form bench(true);
    if (state.range(0) == 0) {
        bench.form->record().set_on(false);
        bench.form->List_1->set_show_times(false);
    }
    QByteArray stream;
    while (stream.size() < 100000) stream += kLine.left(38).toLatin1() + "\r\n";
    for (auto _ : state) {
        state.counters["cpu_pct_of_one_core"] =
            feed_115200_stream(bench, stream).cpu_pct_of_one_core;
    }
    state.counters["log_lines"] = bench.form->List_1->count();
    state.counters["record_bytes"] = double(QFileInfo(bench.form->record().today_file()).size());
}
BENCHMARK(BM_record_stream_115200)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// A million log lines, each with its arrival time and its record line: the memory they
// hold, and whether an append late in the log costs more than an early one (chunks of
// 10 000 timed on the process's CPU clock; the middle chunk of the first ten against the
// middle chunk of the last ten).
static void BM_log_million_timed_lines(benchmark::State& state) {
    Bench_form bench(true);
    for (auto _ : state) {
        state.PauseTiming();
        bench.form->List_1->clear_items();
        const long rss_before = resident_bytes();
        state.ResumeTiming();
        std::vector<double> chunk_ms;
        for (int chunk = 0; chunk < 100; ++chunk) {
            const double cpu0 = fine_cpu_seconds();
            for (int i = 0; i < 10000; ++i) bench.form->log(kLine);
            chunk_ms.push_back(1e3 * (fine_cpu_seconds() - cpu0));
        }
        QCoreApplication::processEvents();
        state.counters["rss_growth_MB"] = double(resident_bytes() - rss_before) / 1e6;
        state.counters["first_10k_median_ms"] = median({chunk_ms.begin(), chunk_ms.begin() + 10});
        state.counters["last_10k_median_ms"] = median({chunk_ms.end() - 10, chunk_ms.end()});
    }
    state.counters["held_MB"] = double(bench.form->List_1->store().bytes_held()) / 1e6;
}
BENCHMARK(BM_log_million_timed_lines)->Unit(benchmark::kMillisecond)->Iterations(1);

// How long writing one record line holds the window, line by line on the wall clock: the
// longest of 200 000, and the end of a transfer, which waits until the disk has the file.
static void BM_record_line_longest(benchmark::State& state) {
    Bench_form bench(true);
    Session_record& record = bench.form->record();
    using clock = std::chrono::steady_clock;
    for (auto _ : state) {
        std::vector<double> us;
        us.reserve(200000);
        double longest_cpu_us = 0;
        for (int i = 0; i < 200000; ++i) {
            const double cpu0 = thread_cpu_us();
            const auto t0 = clock::now();
            record.received(kLine);
            us.push_back(std::chrono::duration<double, std::micro>(clock::now() - t0).count());
            longest_cpu_us = std::max(longest_cpu_us, thread_cpu_us() - cpu0);
        }
        std::sort(us.begin(), us.end());
        state.counters["longest_ms"] = us.back() / 1e3;
        state.counters["longest_cpu_ms"] = longest_cpu_us / 1e3;
        state.counters["p99_99_us"] = us[us.size() * 9999 / 10000];
        state.counters["median_us"] = us[us.size() / 2];
        record.transfer_started(QStringLiteral("EEPROM read"), QStringLiteral("2418.eep"));
        const auto t0 = clock::now();
        record.transfer_ended();
        state.counters["transfer_end_ms"] =
            std::chrono::duration<double, std::milli>(clock::now() - t0).count();
    }
}
BENCHMARK(BM_record_line_longest)->Unit(benchmark::kMillisecond)->Iterations(1);

// Find over a million log lines: a text that is not there, so every line is searched (the
// longest a search can take), median of 9 runs.
static void BM_find_million_lines(benchmark::State& state) {
    Line_store lines;
    for (int i = 0; i < 1000000; ++i) lines.append(kLine + QString::number(i), i);
    for (auto _ : state) {
        std::vector<double> ms;
        int row = 0;
        for (int run = 0; run < 9; ++run) {
            const double t0 = wall_seconds();
            row = find_row(lines, QStringLiteral("no such text"), 0, true).row;
            ms.push_back(1e3 * (wall_seconds() - t0));
        }
        benchmark::DoNotOptimize(row);
        state.counters["median_ms"] = median(ms);
        const double t0 = wall_seconds();
        row = find_row(lines, QStringLiteral("TEXT TO BE 40 C999999"), 0, true).row;
        state.counters["last_line_ms"] = 1e3 * (wall_seconds() - t0);
        state.counters["found_row"] = row;
    }
}
BENCHMARK(BM_find_million_lines)->Unit(benchmark::kMillisecond)->Iterations(1);
