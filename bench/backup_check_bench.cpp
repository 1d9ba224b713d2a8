#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/backup_window.h"
#include "app/hex_view.h"
#include "bench/bench_support.h"
#include "bench/sim_window.h"
#include "eeprom/backup_file.h"
#include "tests/backup_images.h"

// The check Write EEP makes before it sends: a 4096-byte backup read from disk and checked
// line by line. Goal: under 1 ms.
static void BM_backup_check_4096(benchmark::State& state) {
    QTemporaryDir dir;
    const QString name = dir.filePath("8800.eep");
    if (!write_bytes(name, backup_images::backup("8800.eep", backup_images::pattern(4096, 7)))) {
        state.SkipWithError("cannot write the backup");
        return;
    }
    for (auto _ : state) {
        const Backup_file backup = load_backup(name);
        if (!backup.sound()) {
            state.SkipWithError("the backup is not sound");
            break;
        }
        benchmark::DoNotOptimize(backup.image.bytes.data());
    }
}
BENCHMARK(BM_backup_check_4096)->Unit(benchmark::kMicrosecond);

// The backup window opened on a pair of 4096-byte backups: both read and checked, diffed,
// laid out, shown and painted once. Goal: under 100 ms. The first opening builds the window.
static void BM_backup_window_pair_4096(benchmark::State& state) {
    QTemporaryDir dir;
    const QString old_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QByteArray second = backup_images::pattern(4096, 1);
    for (int i = 0; i < 4096; i += 97) second[i] = char(~second[i]);
    if (!write_bytes("8800.eep",
                     backup_images::backup("8800.eep", backup_images::pattern(4096, 1))) ||
        !write_bytes("8800b.eep", backup_images::backup("8800.eep", second))) {
        state.SkipWithError("cannot write the backups");
        return;
    }
    Sim_window window;  // the port stays closed: no simulator runs
    Vimbo_form& form = window.form;
    QApplication::processEvents();
    bool first = true;
    for (auto _ : state) {
        const double wall0 = wall_seconds();
        auto window = std::make_unique<Backup_window>(form);
        window->show_backup("8800.eep");
        window->compare_with("8800b.eep");
        window->show();
        window->view()->viewport()->repaint();
        const double ms = (wall_seconds() - wall0) * 1000;
        state.SetIterationTime(ms / 1000);
        if (window->diff().runs.size() != 43) state.SkipWithError("unexpected differences");
        if (first) state.counters["first_open_ms"] = ms;
        first = false;
    }
    QDir::setCurrent(old_dir);
}
BENCHMARK(BM_backup_window_pair_4096)->Unit(benchmark::kMillisecond)->UseManualTime();
