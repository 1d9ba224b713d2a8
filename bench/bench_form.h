#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
