#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <numeric>
#include <vector>

#include "app/port_opening.h"
#include "app/qt_event_services.h"
#include "app/receiver.h"
#include "app/vimbo_form.h"
#include "bench/bench_support.h"
#include "bench/line_split.h"
#include "serial/qt_port_backend.h"
#include "tests/support/fakes.h"
#include "tests/support/sim_process.h"
#include "upload/upload_commands.h"

namespace {

constexpr int kLines = 1000;
constexpr double kFloorSeconds = (35.0 + kLines * 36.0) / 1000.0;  // the pauses alone

QByteArray hex2(int value) {
    return QByteArray::number(value & 0xFF, 16).rightJustified(2, '0').toUpper();
}

// kLines - 1 data records of 16 bytes, then the end record.
QByteArray update_file() {
    QByteArray file;
    for (int i = 0; i < kLines - 1; ++i) {
        const int address = (i * 16) & 0xFFFF;
        int sum = 16 + (address >> 8) + (address & 0xFF);
        QByteArray record = "#10" + hex2(address >> 8) + hex2(address) + "00";
        for (int b = 0; b < 16; ++b) {
            const int value = (i * 7 + b * 13) & 0xFF;
            record += hex2(value);
            sum += value;
        }
        file += record + hex2((256 - sum % 256) % 256) + "\r\n";
    }
    return file + "#00000001FF\r\n";
}

// The real port, noting when each line went out and when each reply came in.
class Timed_port : public Qt_port_backend {
  public:
    explicit Timed_port(Line_split& split) : split_(split) {}
    bool write(const QByteArray& bytes) override {
        if (bytes.endsWith('\r')) {
            line_sent_at.push_back(wall_seconds());
            split_.note(Line_split::output);
        }
        return Qt_port_backend::write(bytes);
    }
    QByteArray read_all() override {
        QByteArray bytes = Qt_port_backend::read_all();
        if (bytes.contains('\r')) {
            reply_at.push_back(wall_seconds());
            split_.note(Line_split::read);
        }
        return bytes;
    }
    std::vector<double> line_sent_at, reply_at;

  private:
    Line_split& split_;
};

// The gaps from each earlier event to the later event that follows it, in ms.
std::vector<double> gaps_ms(const std::vector<double>& earlier, const std::vector<double>& later) {
    std::vector<double> gaps;
    std::size_t j = 0;
    for (double t : later) {
        while (j + 1 < earlier.size() && earlier[j + 1] < t) ++j;
        if (j < earlier.size() && earlier[j] < t) gaps.push_back(1e3 * (t - earlier[j]));
    }
    return gaps;
}
double mean(const std::vector<double>& v) {
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}
double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The split of a line's time (median and mean of each stage) and the lateness of Timer1's
// ticks, in microseconds.
void report_split(benchmark::State& state, const Line_split& split) {
    for (const auto& [name, us] : split.stages()) {
        state.counters[name + "_median_us"] = median(us);
        state.counters[name + "_mean_us"] = mean(us);
    }
    const std::vector<double> late = split.tick_lateness_us();
    state.counters["ticks"] = double(late.size());
    state.counters["ticks_early"] =
        double(std::count_if(late.begin(), late.end(), [](double l) { return l < 0; }));
    state.counters["tick_late_min_us"] =
        late.empty() ? 0 : *std::min_element(late.begin(), late.end());
    state.counters["tick_late_median_us"] = percentile(late, 0.5);
    state.counters["tick_late_p90_us"] = percentile(late, 0.9);
    state.counters["tick_late_p99_us"] = percentile(late, 0.99);
    state.counters["tick_late_max_us"] =
        late.empty() ? 0 : *std::max_element(late.begin(), late.end());
}

}  // namespace

// An update of a 1000-line file into the board simulator over a pty, through the real port
// and the real event loop. Timed from the accepted hardware id (the busy button turns green
// and the title changes) to the clean-up: against the floor of the 35 ms first pause and a
// 36 ms pause per line, with the simulator answering at once.
static void upload_over_pty(benchmark::State& state, bool shown) {
    QTemporaryDir dir;
    const QString old_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        QFile file(dir.filePath(QStringLiteral("2418.upd")));
        if (!file.open(QIODevice::WriteOnly) || file.write(update_file()) < 0) {
            state.SkipWithError("cannot write the update file");
            return;
        }
    }
    Sim_process sim;
    if (!sim.start(
            dir.path(), 3,
            {QStringLiteral("--hwid"), QStringLiteral("2418"), QStringLiteral("--quiet-lines")})) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    Line_split split;
    Noting_events events(split);
    Fake_dialogs dialogs;
    Fake_editor editor;
    auto port = std::make_unique<Timed_port>(split);
    Timed_port* timed = port.get();
    Vimbo_form form(Form_services{events, std::move(port), &dialogs, &editor, [] {}});
    // Timer1 and the receive notification note their moments too.
    split.watch(form.Timer1.get());
    form.MSerial.OnComm = [&form, &split, on_comm = form.MSerial.OnComm] {
        const bool had_request = form.state.Rx_reply == QLatin1String("#$");
        on_comm();
        if (!had_request && form.state.Rx_reply == QLatin1String("#$")) {
            split.note(Line_split::mailbox);
        }
    };
    if (shown) form.show();
    form.Text_com_number->setText(QStringLiteral("3"));
    form.Text_baud_rate->setText(QStringLiteral("115200"));
    form.port_opening().Cmd_com_usb_Click();
    form.state.Chosen_file = QStringLiteral("2418.upd");

    double wall0 = 0, wall1 = 0;
    Cpu_split cpu0, cpu1;
    QObject::connect(&form, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (title == QLatin1String("Wait untill UPDATE upload FINISHED!")) {
            wall0 = wall_seconds();
            cpu0 = process_cpu_split();
        } else if (title == QLatin1String(" VIMBO .....")) {
            wall1 = wall_seconds();
            cpu1 = process_cpu_split();
        }
    });
    for (auto _ : state) {
        // The board is reset (the bytes of Initialize) once the update waits for its sign-on.
        QTimer::singleShot(
            100, &form, [&form] { form.MSerial.Output(QString::fromLatin1("\x00\x18\x21", 3)); });
        form.handle([&] { form.upload_commands().Cmd_update_vimbo_Click(); });
    }
    const bool success =
        form.List_1->count() > 0 && form.List_1->item(form.List_1->count() - 1) ==
                                        QLatin1String("#@ Software Update to RQMxx succesfull!");
    if (!success || wall1 <= wall0) {
        state.SkipWithError("the upload did not succeed");
    } else {
        const double wall = wall1 - wall0;
        state.counters["wall_s"] = wall;
        state.counters["floor_s"] = kFloorSeconds;
        state.counters["wall_over_floor"] = wall / kFloorSeconds;
        const double user = cpu1.user - cpu0.user, system = cpu1.system - cpu0.system;
        state.counters["cpu_s"] = user + system;
        state.counters["cpu_pct_of_wall"] = 100.0 * (user + system) / wall;
        state.counters["cpu_user_s"] = user;
        state.counters["cpu_system_s"] = system;
        // Each wake-up costs the system time of a sleep and a return to the loop.
        state.counters["wakeups_per_line"] =
            double(cpu1.voluntary_switches - cpu0.voluntary_switches) / kLines;
        // Where the time over the floor goes: from a reply to the next line beyond the 36 ms
        // pause (the tool), and from a line to its reply (the link and the simulator).
        const auto reply_to_line = gaps_ms(timed->reply_at, timed->line_sent_at);
        const auto line_to_reply = gaps_ms(timed->line_sent_at, timed->reply_at);
        state.counters["reply_to_line_ms"] = mean(reply_to_line);
        state.counters["reply_to_line_median_ms"] = median(reply_to_line);
        state.counters["line_to_reply_ms"] = mean(line_to_reply);
        state.counters["line_to_reply_median_ms"] = median(line_to_reply);
        // The goal is on the tool's part: the wall time less the simulator's replies.
        const double sim_s = std::accumulate(line_to_reply.begin(), line_to_reply.end(), 0.0) / 1e3;
        state.counters["sim_reply_s"] = sim_s;
        state.counters["wall_less_sim_over_floor"] = (wall - sim_s) / kFloorSeconds;
        // Hint line faces composed from glyph pictures, of all faces it painted.
        state.counters["hint_faces_composed"] = form.Label1->composed_faces();
        report_split(state, split);
    }
    sim.stop();
    QDir::setCurrent(old_dir);
}
// The window shown (it repaints the hint line for every line sent), and hidden (the
// transfer alone, without painting).
static void BM_upload_1000_lines_over_pty(benchmark::State& state) {
    upload_over_pty(state, true);
}
static void BM_upload_1000_lines_over_pty_hidden(benchmark::State& state) {
    upload_over_pty(state, false);
}
BENCHMARK(BM_upload_1000_lines_over_pty)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_upload_1000_lines_over_pty_hidden)->Unit(benchmark::kSecond)->Iterations(1);
