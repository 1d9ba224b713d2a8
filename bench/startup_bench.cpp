#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "bench/bench_support.h"
#include "serial/qt_port_backend.h"

namespace {

// Notes the window's first paint event.
class Paint_seen : public QObject {
  public:
    bool seen = false;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) seen = true;
        return false;
    }
};

void report(benchmark::State& state, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["min_ms"] = ms.front();
    state.counters["max_ms"] = ms.back();
}

}  // namespace

// Start-up of a fresh process, as a technician starts the program: from starting the
// process to its window's first picture on the screen, in an empty folder (no settings
// file, so no port is opened). The process is the start-up probe, which starts exactly
// as the program does.
static void BM_startup_fresh_process(benchmark::State& state) {
    const QString probe = QCoreApplication::applicationDirPath() + "/vimbo_startup_probe";
    QTemporaryDir dir;
    std::vector<double> ms;
    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const double wall0 = wall_seconds();
        process.start(probe, {});
        bool shown = false;
        while (!shown && process.waitForReadyRead(10000)) {
            shown = process.readAll().contains("shown");
        }
        const double wall = wall_seconds() - wall0;
        process.waitForFinished(10000);
        if (!shown) {
            state.SkipWithError("the start-up probe showed no window");
            break;
        }
        state.SetIterationTime(wall);
        ms.push_back(wall * 1e3);
    }
    report(state, ms);
}
BENCHMARK(BM_startup_fresh_process)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// The window alone in a running program: constructing the form (the start-up sequence
// included) until its first picture has been painted.
static void BM_startup_window_in_process(benchmark::State& state) {
    QTemporaryDir dir;
    const QString old_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    std::vector<double> ms;
    for (auto _ : state) {
        const double wall0 = wall_seconds();
        Qt_event_services events;
        Vimbo_form form({events, std::make_unique<Qt_port_backend>(), nullptr, nullptr, [] {}});
        Paint_seen paint;
        form.installEventFilter(&paint);
        form.show();
        while (!paint.seen) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            50);
        }
        QCoreApplication::processEvents();  // the picture goes to the screen
        const double wall = wall_seconds() - wall0;
        state.SetIterationTime(wall);
        ms.push_back(wall * 1e3);
        form.removeEventFilter(&paint);
    }
    report(state, ms);
    QDir::setCurrent(old_dir);
}
BENCHMARK(BM_startup_window_in_process)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
