#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "bench/bench_support.h"
#include "eeprom/eeprom_read.h"
#include "serial/qt_port_backend.h"
#include "tests/support/fakes.h"
#include "tests/support/sim_process.h"

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
    if (!sim.start(dir.path(), 3, {"--eeprom-size", QString::number(size)})) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    Qt_event_services events;
    Fake_dialogs dialogs;
    Fake_editor editor;
    Vimbo_form form(
        Form_services{events, std::make_unique<Qt_port_backend>(), &dialogs, &editor, [] {}});
    form.show();
    form.Text_com_number->setText("3");
    form.Text_baud_rate->setText("115200");
    form.port_opening().Cmd_com_usb_Click();

    for (auto _ : state) {
        // The board signs on first (as after Initialize), so the read starts at once.
        form.state.Rx_reply.clear();
        for (const char byte : {'\x00', '\x18', '\x21'}) form.MSerial.Output(QString(QChar(byte)));
        if (!sim.wait_for_line("event signon")) {
            state.SkipWithError("no sign-on");
            break;
        }
        while (form.state.Rx_reply.size() < 2) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            50);
        }
        QFile::remove(name);
        dialogs.answer(name);
        const double cpu0 = process_cpu_seconds();
        const double wall0 = wall_seconds();
        form.eeprom_read().Cmd_read_eeprom_Click();
        const double wall = wall_seconds() - wall0;
        const double cpu = process_cpu_seconds() - cpu0;
        state.SetIterationTime(wall);
        if (form.hint() != "Done and saved to; " + name) {
            state.SkipWithError("the read did not finish");
            break;
        }
        state.counters["floor_s"] = floor_s;
        state.counters["wall_s"] = wall;
        state.counters["wall_over_floor"] = wall / floor_s;
        state.counters["cpu_s"] = cpu;
        state.counters["cpu_pct_of_wall"] = 100.0 * cpu / wall;
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
