#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/port_chooser.h"
#include "app/port_choosing.h"
#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "bench/bench_support.h"

namespace {

// Forty converters; every other look one of them is unplugged, so the list really changes.
class Forty_ports : public Port_list {
  public:
    Forty_ports() {
        for (int i = 0; i < 40; ++i) {
            all_.push_back({QStringLiteral("/dev/ttyUSB%1").arg(i), "FT232R USB UART", "FTDI",
                            "0403:6001", QStringLiteral("A%1").arg(1000 + i),
                            QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A%1-if00-"
                                           "port0")
                                .arg(1000 + i)});
        }
    }
    std::vector<Port_info> ports() const override {
        std::vector<Port_info> now = all_;
        if (changing && (++looks_ % 2) == 0) now.erase(now.begin() + 17);
        return now;
    }
    bool changing = true;

  private:
    std::vector<Port_info> all_;
    mutable int looks_ = 0;
};

}  // namespace

// One refresh of the shown chooser: the port list, the sixteen comN links of the working
// folder, the rows and the table, painted. A refresh runs once a second while it is shown.
static void chooser_refresh(benchmark::State& state, bool changing) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    for (int n = 1; n <= 16; ++n) {
        QFile::link(QStringLiteral("/dev/ttyUSB%1").arg(n), QStringLiteral("com%1").arg(n));
    }
    Qt_event_services events;
    Forty_ports ports;
    ports.changing = changing;
    Vimbo_form form(Form_services{
        events, std::make_unique<Memory_port>(), nullptr, nullptr, [] {}, {}, nullptr, &ports});
    form.show();
    form.port_choosing().show_chooser();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    double cpu = 0;
    long refreshes = 0;
    for (auto _ : state) {
        const double cpu0 = fine_cpu_seconds();
        form.port_choosing().refresh();
        QCoreApplication::processEvents();  // and let the table repaint
        cpu += fine_cpu_seconds() - cpu0;
        ++refreshes;
    }
    state.counters["cpu_ms_per_refresh"] = 1e3 * cpu / double(refreshes);
    state.counters["rows"] = double(form.port_choosing().chooser()->rows().size());
}
static void BM_port_chooser_refresh_40_ports(benchmark::State& state) {
    chooser_refresh(state, true);
}
static void BM_port_chooser_refresh_40_ports_unchanged(benchmark::State& state) {
    chooser_refresh(state, false);
}
BENCHMARK(BM_port_chooser_refresh_40_ports)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_port_chooser_refresh_40_ports_unchanged)->Unit(benchmark::kMillisecond)->MinTime(2.0);
