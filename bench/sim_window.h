#pragma once
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "serial/qt_port_backend.h"
#include "tests/support/fakes.h"
#include "tests/support/sim_process.h"

// The shown window on the real port and event loop, COM 3 opened at 115200 b/s: the board
// simulator's pty, for the benchmarks of whole transfers.
struct Sim_window {
    Qt_event_services events;
    Fake_dialogs dialogs;
    Fake_editor editor;
    Vimbo_form form{
        Form_services{events, std::make_unique<Qt_port_backend>(), &dialogs, &editor, [] {}}};

    Sim_window() {
        form.show();
        form.Text_com_number->setText("3");
        form.Text_baud_rate->setText("115200");
        form.port_opening().Cmd_com_usb_Click();
    }

    // The board reset (as by Initialize) and its sign-on in the mailbox, so that a transfer
    // started now goes on at once.
    bool signed_on(Sim_process& sim) {
        form.state.Rx_reply.clear();
        for (const char byte : {'\x00', '\x18', '\x21'}) form.MSerial.Output(QString(QChar(byte)));
        if (!sim.wait_for_line("event signon")) return false;
        while (form.state.Rx_reply.size() < 2) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            50);
        }
        return true;
    }
};

// The wall time of a transfer against its floor and the tool's CPU time over it.
inline void transfer_counters(benchmark::State& state, double floor_s, double wall, double cpu) {
    state.SetIterationTime(wall);
    state.counters["floor_s"] = floor_s;
    state.counters["wall_s"] = wall;
    state.counters["wall_over_floor"] = wall / floor_s;
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_pct_of_wall"] = 100.0 * cpu / wall;
}

inline bool write_bytes(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
