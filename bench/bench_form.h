#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/line_list.h"
#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "bench/bench_support.h"

// The window shown and painting in a temporary working folder, its port open at 115200
// baud on a device in memory. With show_times the log shows each line's arrival time.
struct Bench_form {
    explicit Bench_form(bool show_times = false) {
        QDir::setCurrent(dir.path());
        QFile(QStringLiteral("com1")).open(QIODevice::WriteOnly);  // COM 1 maps to a file here
        auto backend = std::make_unique<Memory_port>();
        port = backend.get();
        form = std::make_unique<Vimbo_form>(
            Form_services{events, std::move(backend), nullptr, nullptr, [] {}});
        form->Text_com_number->setText(QStringLiteral("1"));
        form->Text_baud_rate->setText(QStringLiteral("115200"));
        form->port_opening().Cmd_com_usb_Click();
        form->List_1->set_show_times(show_times);
        form->show();
        // The first picture of the window is painted before anything is measured.
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    QTemporaryDir dir;
    Qt_event_services events;
    Memory_port* port = nullptr;
    std::unique_ptr<Vimbo_form> form;
};

constexpr double kCharsPerSecondAt115200 = 115200.0 / 10.0;  // 8N1: ten bits a character

struct Stream_run {
    double cpu_pct_of_one_core = 0;
    qsizetype chars_fed = 0;
};

// 5 s of the real event loop with the stream (repeated as needed) handed to the window's
// port every 2 ms, everything due by then at 115200 baud, as a serial driver hands it over.
// With deliver false only the feeding runs: the part of a figure that is the benchmark's own.
inline Stream_run feed_115200_stream(Bench_form& bench, const QByteArray& stream,
                                     bool deliver = true) {
    qsizetype sent = 0;
    const double wall0 = wall_seconds();
    const double cpu0 = process_cpu_seconds();
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        const auto due = qsizetype((wall_seconds() - wall0) * kCharsPerSecondAt115200);
        QByteArray piece;
        for (; sent < due; ++sent) piece += stream[sent % stream.size()];
        if (!piece.isEmpty() && deliver) bench.port->deliver(piece);
    });
    feeder.start(2);
    bool done = false;
    QTimer::singleShot(5000, Qt::PreciseTimer, [&] { done = true; });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const double wall = wall_seconds() - wall0;
    return {100.0 * (process_cpu_seconds() - cpu0) / wall, sent};
}
