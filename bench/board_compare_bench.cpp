#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/board_compare.h"
#include "bench/bench_support.h"
#include "bench/sim_window.h"
#include "tests/backup_images.h"

// The compare of a 4096-byte board with its backup, from the board simulator over a pty:
// the wall time against the read's floor (two 500 ms pauses, then 100 ms between lines)
// and the tool's CPU time over the compare. Goals: within 1.02 of the floor, CPU < 1 %.
static void BM_board_compare(benchmark::State& state) {
    const int size = int(state.range(0));
    const QString name = size == 1024 ? "2418.eep" : size == 2048 ? "6418.eep" : "8818.eep";
    const double floor_s = 1.0 + (size / 16 - 1) * 0.1;
    QTemporaryDir dir;
    const QString old_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QByteArray image = backup_images::pattern(size, 5);
    if (!write_bytes("board.bin", image) ||
        !write_bytes(name, backup_images::backup(name, image))) {
        state.SkipWithError("cannot write the image");
        return;
    }
    Sim_process sim;
    if (!sim.start(dir.path(), 3, {"--eeprom-image", dir.filePath("board.bin"), "--quiet-lines"})) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    Sim_window window;
    Vimbo_form& form = window.form;
    form.state.Eeprom_file = name;
    const QString match =
        "Board matches " + name + ": " + QString::number(size) + " bytes identical.";

    for (auto _ : state) {
        if (!window.signed_on(sim)) {
            state.SkipWithError("no sign-on");
            break;
        }
        const double cpu0 = process_cpu_seconds();
        const double wall0 = wall_seconds();
        form.board_compare().Cmd_write_eeprom_MouseDown(Qt::RightButton);
        const double wall = wall_seconds() - wall0;
        const double cpu = process_cpu_seconds() - cpu0;
        transfer_counters(state, floor_s, wall, cpu);
        if (form.List_1->selected_text() != match) {
            state.SkipWithError("the compare did not match");
            break;
        }
    }
    QDir::setCurrent(old_dir);
}
BENCHMARK(BM_board_compare)->Arg(4096)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
