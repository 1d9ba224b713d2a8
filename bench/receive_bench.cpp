#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <numeric>
#include <vector>

#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "bench/bench_form.h"
#include "bench/bench_support.h"
#include "serial/port_names.h"

namespace {}  // namespace

// Console lines through the real notification, handler and log widget, with the window
// shown and painting.
static void BM_receive_throughput(benchmark::State& state) {
    Bench_form bench;
    const QByteArray line =
        QByteArray("+CSQ: 21,0 and some more text to be 40 c").left(38) + "\r\n";
    QByteArray chunk;
    while (chunk.size() < 4000) chunk += line;
    long long chars = 0;
    const double cpu_start = process_cpu_seconds();
    for (auto _ : state) {
        bench.port->deliver(chunk);
        while (bench.form->MSerial.InBufferCount() > 0) QCoreApplication::processEvents();
        QCoreApplication::processEvents();  // and let the log repaint
        chars += chunk.size();
    }
    const double cpu = process_cpu_seconds() - cpu_start;
    const double rate = double(chars) / cpu;
    state.counters["chars_per_cpu_s"] = rate;
    state.counters["cpu_pct_at_115200"] = 100.0 * kCharsPerSecondAt115200 / rate;
    state.counters["log_lines"] = bench.form->List_1->count();
}
BENCHMARK(BM_receive_throughput)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A continuous 115200 baud stream of console lines, arriving in small pieces as a serial
// driver hands them over, for 5 s of the real event loop: the share of one core it costs.
// With deliver false only the feeding runs: the part of the figure that is the benchmark's own.
static void receive_stream(benchmark::State& state, bool deliver) {
    Bench_form bench;
    const QByteArray line =
        QByteArray("+CSQ: 21,0 and some more text to be 40 c").left(38) + "\r\n";
    QByteArray stream;
    while (stream.size() < 100000) stream += line;
    for (auto _ : state) {
        const Stream_run run = feed_115200_stream(bench, stream, deliver);
        state.counters["cpu_pct_of_one_core"] = run.cpu_pct_of_one_core;
        state.counters["chars_received"] = double(run.chars_fed);
    }
    state.counters["log_lines"] = bench.form->List_1->count();
}
static void BM_receive_stream_115200(benchmark::State& state) {
    receive_stream(state, true);
}
static void BM_receive_stream_feeder_only(benchmark::State& state) {
    receive_stream(state, false);
}
BENCHMARK(BM_receive_stream_115200)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_receive_stream_feeder_only)->Unit(benchmark::kMillisecond)->Iterations(1);

// A million 40-character lines appended to the log: the cost of each append must not grow
// with the log, and the memory must stay small. The appends are timed in chunks of 10 000
// on the process's CPU clock, so that time taken by other processes does not count, and
// the million is appended several times over: each chunk counts with the median of its
// runs, so that a chunk some other work slowed down in one run does not. The first tenth
// of the log (100 000 lines) is compared with the last.
static void BM_log_million_lines(benchmark::State& state) {
    constexpr int kRuns = 5, kChunks = 100, kChunkLines = 10000;
    Bench_form bench;
    const QString line = QStringLiteral("0123456789012345678901234567890123456789");
    auto median_of = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    for (auto _ : state) {
        std::vector<std::vector<double>> runs_of_chunk(kChunks);
        double rss_growth = 0;
        for (int run = 0; run < kRuns; ++run) {
            state.PauseTiming();
            bench.form->List_1->clear_items();
            QCoreApplication::processEvents();
            const long rss_before = resident_bytes();
            state.ResumeTiming();
            for (int chunk = 0; chunk < kChunks; ++chunk) {
                const double cpu0 = fine_cpu_seconds();
                for (int i = 0; i < kChunkLines; ++i) bench.form->log(line);
                runs_of_chunk[chunk].push_back(1e3 * (fine_cpu_seconds() - cpu0));
            }
            QCoreApplication::processEvents();
            rss_growth = std::max(rss_growth, double(resident_bytes() - rss_before) / 1e6);
        }
        std::vector<double> chunk_ms;
        for (const auto& runs : runs_of_chunk) chunk_ms.push_back(median_of(runs));
        const double first =
            std::accumulate(chunk_ms.begin(), chunk_ms.begin() + kChunks / 10, 0.0);
        const double last = std::accumulate(chunk_ms.end() - kChunks / 10, chunk_ms.end(), 0.0);
        state.counters["first_100k_ms"] = first;
        state.counters["last_100k_ms"] = last;
        state.counters["last_over_first"] = last / first;
        state.counters["million_ms"] = std::accumulate(chunk_ms.begin(), chunk_ms.end(), 0.0);
        state.counters["rss_growth_MB"] = rss_growth;
        state.counters["held_MB"] = double(bench.form->List_1->store().bytes_held()) / 1e6;
    }
}
BENCHMARK(BM_log_million_lines)->Unit(benchmark::kMillisecond)->Iterations(1);

// A procedure waiting 10 s for a line that never comes.
static void BM_idle_wait(benchmark::State& state) {
    Bench_form bench;
    for (auto _ : state) {
        bool give_up = false;
        QTimer::singleShot(10000, Qt::PreciseTimer, [&] { give_up = true; });
        const double cpu0 = process_cpu_seconds();
        const double wall0 = wall_seconds();
        bench.form->handle([&] {
            bench.form->pump.wait_until(
                [&] { return give_up || bench.form->state.Rx_reply.startsWith('#'); });
        });
        const double wall = wall_seconds() - wall0;
        state.counters["cpu_pct_of_wall"] = 100.0 * (process_cpu_seconds() - cpu0) / wall;
        state.counters["wall_s"] = wall;
    }
}
BENCHMARK(BM_idle_wait)->Unit(benchmark::kMillisecond)->Iterations(1);
