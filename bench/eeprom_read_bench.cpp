#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bench/bench_support.h"
#include "bench/sim_window.h"
#include "eeprom/eeprom_read.h"

// A whole EEPROM read from the board simulator over a pty, for each model's size: the wall
// time against the protocol floor (two 500 ms pauses, then a 100 ms pause between lines;
// a pty adds no line time) and the tool's CPU time over the read.
static void BM_eeprom_read(benchmark::State& state) {
    const int size = int(state.range(0));
    const QString name = size == 1024 ? "2418.eep" : size == 2048 ? "6418.eep" : "8818.eep";
    const double floor_s = 1.0 + (size / 16 - 1) * 0.1;
    QTemporaryDir dir;
    const QString old_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Sim_process sim;
    if (!sim.start(dir.path(), 3, {"--eeprom-size", QString::number(size), "--quiet-lines"})) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    Sim_window window;
    Vimbo_form& form = window.form;

    for (auto _ : state) {
        // The board signs on first (as after Initialize), so the read starts at once.
        if (!window.signed_on(sim)) {
            state.SkipWithError("no sign-on");
            break;
        }
        QFile::remove(name);
        window.dialogs.answer(name);
        const double cpu0 = process_cpu_seconds();
        const double wall0 = wall_seconds();
        form.eeprom_read().Cmd_read_eeprom_Click();
        const double wall = wall_seconds() - wall0;
        const double cpu = process_cpu_seconds() - cpu0;
        transfer_counters(state, floor_s, wall, cpu);
        if (form.hint() != "Done and saved to; " + name) {
            state.SkipWithError("the read did not finish");
            break;
        }
    }
    QDir::setCurrent(old_dir);
}
BENCHMARK(BM_eeprom_read)
    ->Arg(1024)
    ->Arg(2048)
    ->Arg(4096)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);
