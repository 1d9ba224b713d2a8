// The receive line assembler, fed any byte stream through the serial control of a real
// window on a fake port and a virtual clock.
//
// Input: an option byte, a long-line byte, then the bytes the board sends.
//   option bits 0-2 the stream arrives in pieces of 1, 4, 16, 64, 256 bytes or at once
//   option bits 3-5 all set: the copy box is shown (one input in eight: the box's text
//                   layout costs more than everything else together)
//   option bit 6    a long line in progress (below) begins with "#"
//   long-line byte  0xC0 and above: the input begins inside a line that is already long,
//                   as after so many bytes without CR, so that the limits are reached
//                   without sending them all: 0xC0-0xDF 1 to 993 characters short of the
//                   copy box's limit, 0xE0-0xFF as much short of the longest partial line
// The inputs are kept short (fuzz/run passes -max_len), since every character costs.
// After every character the assembler's state is checked; after every piece the line in
// progress, the mailbox and the log, and at the end every logged line and the copy box, are
// compared with a plain reading of the line rules.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <memory>

#include "app/port_opening.h"
#include "app/receiver.h"
#include "app/vimbo_form.h"
#include "fuzz/fuzz_check.h"
#include "serial/port_names.h"
#include "tests/support/fake_port.h"
#include "tests/support/fakes.h"
#include "tests/support/virtual_clock.h"

namespace {

constexpr int kCopyBoxLimit = 1024;

bool has_line_end(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// The window, made once: every input starts from a reset receive state.
struct Bench {
    Virtual_clock clock;
    Fake_port::Shared port;
    Fake_dialogs dialogs;
    Fake_editor editor;
    std::unique_ptr<Vimbo_form> form;
};
Bench* bench = nullptr;

// What the line rules make of the stream: CR ends a line, LF is dropped, a line reaching
// the longest partial line is ended there; "#" lines replace the mailbox, others are logged.
struct Expected {
    bool copy_box = false;
    QStringList log;
    QString reply;
    int replies = 0;  // lines put into the mailbox so far
    QString partial;
    QString copy;

    void end_of_line() {
        const QString line = partial;
        partial.clear();
        if (line.startsWith(QLatin1Char('#'))) {
            reply = line;
            ++replies;
            return;
        }
        log << line;
        if (copy_box && line.size() < kCopyBoxLimit) copy += line + QLatin1String("\r\n");
    }
    void receive(const QByteArray& bytes) {
        for (char b : bytes) {
            if (b == '\n') continue;
            if (b == '\r') {
                end_of_line();
                continue;
            }
            partial += QChar(uchar(b));
            if (partial.size() >= Receiver::kMaxPartialLine) end_of_line();
        }
    }
};

// Holds after every single character: bounded partial line without a line end, one line at
// most in the mailbox, the one-character slots holding one character. Only what can change
// with one character is looked at, so that long lines cost no more than short ones.
void check_state_after_character() {
    const Form_state& s = bench->form->state;
    FUZZ_CHECK(s.Rx_partial.size() < Receiver::kMaxPartialLine);
    FUZZ_CHECK(s.Rx_partial.isEmpty() ||
               (s.Rx_partial.back() != u'\r' && s.Rx_partial.back() != u'\n'));
    FUZZ_CHECK(s.Rx_reply.isEmpty() || s.Rx_reply.startsWith(QLatin1Char('#')));
    FUZZ_CHECK(s.Rx_reply.size() <= Receiver::kMaxPartialLine);
    FUZZ_CHECK(s.Rx_char == QLatin1String(" "));
    FUZZ_CHECK(s.Rx_first.size() == 1);
}

// Compares the window with the expected state after each piece of the stream, looking at
// each line once: the line in progress, a new mailbox line, new log lines.
class Checker {
  public:
    explicit Checker(const Expected& expected) : expected_(expected) {}

    void after_piece(qsizetype piece) {
        Vimbo_form& f = *bench->form;
        const Form_state& s = f.state;
        FUZZ_CHECK(f.MSerial.InBufferCount() == 0);  // every byte delivered was taken
        FUZZ_CHECK(s.Rx_partial.size() == expected_.partial.size());
        const qsizetype tail = std::min(piece, s.Rx_partial.size());
        FUZZ_CHECK(s.Rx_partial.right(tail) == expected_.partial.right(tail));
        FUZZ_CHECK(f.Cmd_reserve_2->caption() == (expected_.partial.isEmpty() ? "" : "rx"));
        if (expected_.replies != replies_checked_) {
            FUZZ_CHECK(s.Rx_reply == expected_.reply);
            FUZZ_CHECK(!has_line_end(s.Rx_reply));
            replies_checked_ = expected_.replies;
        }
        FUZZ_CHECK(s.Rx_reply.size() == expected_.reply.size());

        const Line_list& log = *f.List_1;
        FUZZ_CHECK(log.count() == expected_.log.size());
        FUZZ_CHECK(log.selected_index() == log.count() - 1);
        for (; rows_checked_ < log.count(); ++rows_checked_) {
            const QString line = log.item(rows_checked_);
            FUZZ_CHECK(!has_line_end(line));
            FUZZ_CHECK(!line.startsWith(QLatin1Char('#')));
            FUZZ_CHECK(line.size() <= Receiver::kMaxPartialLine);
            FUZZ_CHECK(line == expected_.log[rows_checked_]);
            log_chars_ += std::size_t(line.size());
        }
    }

    void at_end() {
        const Vimbo_form& f = *bench->form;
        FUZZ_CHECK(f.state.Rx_partial == expected_.partial);
        FUZZ_CHECK(f.state.Rx_reply == expected_.reply);
        // The log keeps each line's characters, one offset and its arrival time, nothing
        // more than the growth of its three buffers.
        const std::size_t held = f.List_1->store().bytes_held();
        const std::size_t rows = std::size_t(f.List_1->count());
        FUZZ_CHECK(held <= 2 * (log_chars_ + 2 * sizeof(qint64) * rows) + 64);
        FUZZ_CHECK(f.Text_to_copy->text() == expected_.copy);
    }

  private:
    const Expected& expected_;
    int replies_checked_ = 0;
    int rows_checked_ = 0;
    std::size_t log_chars_ = 0;
};

void reset(bool copy_box) {
    Vimbo_form& f = *bench->form;
    Form_state& s = f.state;
    s.Rx_partial.clear();
    s.Rx_line.clear();
    s.Rx_reply.clear();
    store_one_char(s.Rx_char, QString());
    store_one_char(s.Rx_first, QString());
    f.Cmd_reserve_2->set_caption(QString());
    f.List_1->clear_items();
    if (!f.Text_to_copy->document()->isEmpty()) f.Text_to_copy->set_text(QString());
    f.Text_to_copy->setVisible(copy_box);
}

}  // namespace

// Fontconfig keeps what it learns of the fonts (for glyphs seen for the first time) in
// caches it never frees; those are not leaks of the window.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_receive_lines";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    // The window starts in an empty folder of its own, so that no settings file opens a
    // port; then the fuzzer's own folder is current again, for its relative paths.
    const QString fuzzer_folder = QDir::currentPath();
    static QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    bench = new Bench;
    bench->port.devices.insert(device_for_com_port(3));
    bench->form = std::make_unique<Vimbo_form>(
        Form_services{bench->clock, std::make_unique<Fake_port>(bench->clock, bench->port),
                      &bench->dialogs, &bench->editor, [] {}});
    Vimbo_form& f = *bench->form;
    f.Text_com_number->setText(QStringLiteral("3"));
    f.Text_baud_rate->setText(QStringLiteral("9600"));
    f.port_opening().Cmd_com_usb_Click();
    FUZZ_CHECK(f.MSerial.PortOpen());
    QDir::setCurrent(fuzzer_folder);
    // Once every character through the log and the copy box, so that the caches Qt keeps
    // of fonts and text layout are filled before the first input: the leak check then
    // looks only at what an input leaves behind.
    reset(true);
    QByteArray every_byte;
    for (int b = 0; b < 256; ++b) every_byte.append(char(b));
    bench->port.port->deliver(every_byte + "\r" + every_byte + every_byte + "\r#\r");
    bench->clock.run_pending();
    reset(false);
    QCoreApplication::sendPostedEvents();
    // Every notification is followed by the check of the state it left.
    auto on_comm = f.MSerial.OnComm;
    f.MSerial.OnComm = [on_comm] {
        on_comm();
        check_state_after_character();
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const qsizetype piece = qsizetype(1) << (2 * (data[0] & 7));
    const bool copy_box = (data[0] & 0x38) == 0x38;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    reset(copy_box);
    Expected expected;
    expected.copy_box = copy_box;
    if (data[1] >= 0xC0) {
        const int limit = data[1] >= 0xE0 ? Receiver::kMaxPartialLine : kCopyBoxLimit;
        QString long_line(limit - 1 - (0x1F - (data[1] & 0x1F)) * 32, QLatin1Char('x'));
        if (data[0] & 0x40) long_line[0] = QLatin1Char('#');
        bench->form->state.Rx_partial = long_line;
        bench->form->Cmd_reserve_2->set_caption(QStringLiteral("rx"));
        expected.partial = long_line;
    }
    Checker checker(expected);
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        const QByteArray part = bytes.mid(at, piece);
        bench->port.port->deliver(part);
        bench->clock.run_pending();
        expected.receive(part);
        checker.after_piece(part.size());
    }
    checker.at_end();
    // What the input made is given back before it ends, and the events the widgets posted
    // meanwhile are delivered as the window's event loop would: memory still held
    // afterwards is what the leak check reports.
    reset(false);
    QCoreApplication::sendPostedEvents();
    return 0;
}
