#include <sys/resource.h>

#include <QDir>
#include <QTest>
#include <algorithm>
#include <csignal>

#include "app/control_table.h"
#include "eeprom/eeprom_read.h"
#include "tests/eeprom_board_fixture.h"
#include "tests/support/hint_picture.h"

// The EEPROM read on the virtual clock against a scripted board.
class Eeprom_read_test : public Eeprom_board_test {
  protected:
    // Answers the name prompt; the board signs on after_ms later.
    void answer_and_sign_on(const QString& name, int after_ms = 1000) {
        dialogs_.answers.push_back([this, name, after_ms] {
            board().deliver_after(after_ms, "SMS CONTROLLER\r\n#\xBE\x01\r\n");
            return name;
        });
    }
    void press() { QTest::mouseClick(form().Cmd_read_eeprom, Qt::LeftButton); }
    // A second press at time t, answering its prompt with answer (empty: Cancel).
    void press_at(std::int64_t t, const QString& answer) {
        clock_.at(t, [this, answer] {
            dialogs_.answer(answer);
            press();
        });
    }
    // The requests a read sends when line k comes reply ms after its request.
    static std::vector<Sent> dump_requests(std::int64_t first_at, int count, int reply = 20) {
        std::vector<Sent> all;
        for (int k = 0; k < count; ++k) all.push_back({first_at + k * (reply + 100), "#"});
        return all;
    }
    QStringList files_here() const { return QDir(path(".")).entryList(QDir::Files, QDir::Name); }
    bool is_idle() {
        return form().Cmd_read_eeprom->text() == "Read EEP" &&
               form().Cmd_read_eeprom->has_normal_face() && form().Label1->progress() < 0;
    }
    static std::vector<Sent> join(std::vector<Sent> a, const std::vector<Sent>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    const QByteArray old_backup_ = "#1000000011\r\nold backup, kept byte for byte\r\n";
};

namespace {
const char* const kPrompt =
    "Enter EEPROM file name to save...\r\n"
    "This file will be the Controller parameters backup!\r\n"
    "First [initialize] and then download EEPROM content to disk file; xxxx.eep\r\n"
    "Files names as; 2418.eep , 6418.eep , 2428.eep, 7428,,,\r\n"
    "First is the microcontroller type; 24xx, 64xx,,,\r\n"
    "Second is the GSM type; xx18, xx28,,,\r\n"
    "Then (optional) the name of the controller xxxxname.eep";
}  // namespace

TEST_F(Eeprom_read_test, A24BoardGivesA71LineBackupPacedAsTheBoardExpects) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", old_backup_);
    QString caption_at_prompt;
    dialogs_.answers.push_back([&] {
        caption_at_prompt = f.Cmd_read_eeprom->text();
        board().deliver_after(1000, "#\xBE\r");
        return QString("2418.eep");
    });
    struct Look {
        QString caption, hint;
        QColor color;
        double progress;
        int fill;  // painted columns of the hint line's fill
        QStringList files;
    };
    std::map<std::int64_t, Look> looks;
    for (std::int64_t t : {500, 1600, 5741, 9560}) {
        clock_.at(t, [&, t] {
            looks[t] = {f.Cmd_read_eeprom->text(),       f.hint(),
                        f.Cmd_read_eeprom->back_color(), f.Label1->progress(),
                        painted_fill(*f.Label1),         files_here()};
        });
    }
    const QDateTime before = QDateTime::currentDateTime();
    press();
    const QDateTime after = QDateTime::currentDateTime();

    // The prompt.
    ASSERT_EQ(dialogs_.inputs.size(), 1u);
    EXPECT_EQ(dialogs_.inputs[0].title, "Read SMS controller EEPROM parameters...");
    EXPECT_EQ(dialogs_.inputs[0].prompt, kPrompt);
    EXPECT_EQ(dialogs_.inputs[0].default_answer, "8800.eep");
    EXPECT_EQ(caption_at_prompt, "Read EEP");

    // Sign-on at 1000: 0xB3 at 1500, the first "#" at 2000, then one "#" 100 ms after
    // each line; no 65th request.
    EXPECT_EQ(sent(), join({{1500, "\xB3"}}, dump_requests(2000, 64)));
    EXPECT_EQ(board_.requests, 64);
    EXPECT_EQ(clock_.now_ms(), 2000 + 63 * 120 + 20);

    // While it runs: busy, red, the reminder; the file under its temporary name only.
    EXPECT_EQ(looks[500].caption, "BUSY!");
    EXPECT_EQ(looks[500].color, QColor(255, 0, 0));
    EXPECT_EQ(looks[500].hint, " *** Press [ Initialize ] if not yet done! ***");
    EXPECT_LT(looks[500].progress, 0);
    EXPECT_EQ(looks[500].fill, 0);
    EXPECT_EQ(looks[1600].files, (QStringList{"2418.eep", "2418.eep.tmp"}));
    EXPECT_EQ(looks[1600].progress, 0);
    EXPECT_EQ(looks[1600].fill, 0);
    // The hint line (392 pixels wide) fills from the left with the share read.
    EXPECT_EQ(looks[5741].progress, 0.5);
    EXPECT_EQ(looks[5741].fill, 196);
    EXPECT_EQ(looks[5741].hint, board_.record(32));
    EXPECT_EQ(looks[9560].progress, 63.0 / 64);
    EXPECT_EQ(looks[9560].fill, 386);
    EXPECT_EQ(looks[9560].files, (QStringList{"2418.eep", "2418.eep.tmp"}));

    // The file, byte for byte but for the date line.
    const QByteArray file = read_file("2418.eep");
    QList<QByteArray> lines = file.split('\n');
    ASSERT_EQ(lines.size(), 72);  // 71 lines, each ending in CR LF
    EXPECT_TRUE(lines.last().isEmpty());
    const QByteArray date_line = lines[69];
    EXPECT_TRUE(date_line == eep::date_line(before, QLocale::system()).toLatin1() + "\r" ||
                date_line == eep::date_line(after, QLocale::system()).toLatin1() + "\r")
        << date_line.toStdString();
    EXPECT_EQ(file, board_.records(64) +
                        "#00000001FF\r\n\r\n\r\n"
                        "Mcu type; 324 / SMS Controller type Rq5\r\n"
                        "1024 Eeprom bytes.\r\n" +
                        date_line + "\n\r\n");
    EXPECT_EQ(files_here(), QStringList{"2418.eep"});

    // Log, hint, title, button.
    QStringList expected_log{"COMM:3 9600b/s.N.8.1..."};
    for (int k = 1; k <= 64; ++k) expected_log << board_.dump_line(k);
    expected_log << "Saving; 1024 Bytes to Disk File.";
    EXPECT_EQ(log_lines(), expected_log);
    EXPECT_EQ(f.List_1->selected_index(), 65);
    EXPECT_EQ(f.hint(), "Done and saved to; 2418.eep");
    EXPECT_EQ(f.title(), "2418.eep");
    EXPECT_EQ(f.state.Eeprom_file, "2418.eep");
    EXPECT_TRUE(is_idle());
    EXPECT_EQ(f.files.count(), 0u);

    // The reply timer of the last request runs out later: nothing happens.
    clock_.advance(10000);
    EXPECT_EQ(port_.writes.size(), 65u);
    EXPECT_EQ(log_lines().size(), 66);
    EXPECT_FALSE(clock_.stalled());
}

TEST_F(Eeprom_read_test, TheThreeModelsAndTheDefaultName) {
    const Vimbo_form& f = ready(4096);
    // Empty Eeprom_file: the prompt proposes 8800.eep; a 1284 board of 256 lines.
    answer_and_sign_on("8800.eep");
    press();
    EXPECT_EQ(dialogs_.inputs.back().default_answer, "8800.eep");
    EXPECT_EQ(board_.requests, 256);
    QByteArray file = read_file("8800.eep");
    EXPECT_TRUE(file.startsWith(board_.records(256) +
                                "#00000001FF\r\n\r\n\r\n"
                                "Mcu type; 1284 / SMS Controller type RqM55\r\n"
                                "4096 Eeprom bytes.\r\nDump date; "));
    EXPECT_TRUE(file.endsWith("\r\n\r\n"));
    EXPECT_EQ(file.count("\r\n"), 256 + 7);
    EXPECT_TRUE(board_.record(256).startsWith("#100FF000"));
    EXPECT_EQ(log_lines().last(), "Saving; 4096 Bytes to Disk File.");

    // A 644 board with a controller name: 128 lines, the last at 07F0; the prompt now
    // proposes the last name.
    board_.image = Eeprom_board_script::make_image(2048, 7);
    answer_and_sign_on("6428garage.eep");
    const std::size_t writes_before = port_.writes.size();
    press();
    EXPECT_EQ(dialogs_.inputs.back().default_answer, "8800.eep");
    EXPECT_EQ(port_.writes.size() - writes_before, 1u + 128u);
    file = read_file("6428garage.eep");
    EXPECT_TRUE(file.startsWith(board_.records(128) + "#00000001FF\r\n\r\n\r\n"
                                                      "Mcu type; 644 / SMS Controller type RqM5\r\n"
                                                      "2048 Eeprom bytes.\r\nDump date; "));
    EXPECT_TRUE(board_.record(128).startsWith("#1007F000"));
    EXPECT_EQ(f.hint(), "Done and saved to; 6428garage.eep");
    EXPECT_EQ(log_lines().last(), "Saving; 2048 Bytes to Disk File.");
    dialogs_.answer("");
    press();
    EXPECT_EQ(dialogs_.inputs.back().default_answer, "6428garage.eep");
    EXPECT_EQ(files_here(), (QStringList{"6428garage.eep", "8800.eep"}));
}

TEST_F(Eeprom_read_test, ASignOnAlreadyReceivedStartsAtOnceAndOnlyCode190SignsOn) {
    Vimbo_form& f = ready(1024);
    board().deliver("#\xBE rest of the line\r");
    clock_.advance(3000);
    ASSERT_EQ(f.state.Rx_reply, QString::fromLatin1("#\xBE rest of the line"));
    dialogs_.answer("2418.eep");
    press();
    ASSERT_GE(port_.writes.size(), 2u);
    EXPECT_EQ(sent()[0], (Sent{3500, "\xB3"}));
    EXPECT_EQ(sent()[1], (Sent{4000, "#"}));
    EXPECT_EQ(log_lines().last(), "Saving; 1024 Bytes to Disk File.");

    // "#" with another second character (the loader's 0xD0 too) is no sign-on.
    port_.writes.clear();
    const std::int64_t t0 = clock_.now_ms();
    dialogs_.answers.push_back([&] {
        board().deliver_after(100, "#\xD0\r");
        board().deliver_after(200, "#$\r");
        board().deliver_after(300, "#\r");
        board().deliver_after(400, "no sign-on\r");
        clock_.after(5000, [&] {
            EXPECT_TRUE(port_.writes.empty());
            EXPECT_FALSE(QFile::exists(path("2418.eep.tmp")));
            dialogs_.answer("2418.eep");
            press();
        });
        return QString("2418.eep");
    });
    press();
    EXPECT_EQ(sent(), (std::vector<Sent>{{t0 + 5000, "\x18"}}));
    EXPECT_EQ(log_lines().last(), "EEPROM read cancelled.");
}

TEST_F(Eeprom_read_test, ALateLineIsToldOncePerExpiryAndThenTaken) {
    const Vimbo_form& f = ready(1024);
    board_.delay_ms[1] = 8000;   // the first request has no reply timer
    board_.delay_ms[5] = 7000;   // one expiry
    board_.delay_ms[9] = 12000;  // still one: the tick switches the timer off
    std::map<std::int64_t, QString> hints;
    answer_and_sign_on("2418.eep");
    // Line 1 at 10000; request k (k > 1) at 10100 + (k-2)*120 up to line 5.
    const std::int64_t request5 = 10100 + 3 * 120;
    clock_.at(request5 + 5001, [&] { hints[1] = f.hint(); });
    press();
    const QStringList log = log_lines();
    const QString kLate = "RQMxx do not responde with in delay";
    EXPECT_EQ(log.count(kLate), 2);
    EXPECT_EQ(log.indexOf(kLate), log.indexOf(board_.dump_line(5)) - 1);
    EXPECT_EQ(log.lastIndexOf(kLate), log.indexOf(board_.dump_line(9)) - 1);
    EXPECT_EQ(hints[1], " ??? Is the serial link Ok ???");
    // Line 5 came 7 s late; the next request 100 ms after it.
    const auto writes = sent();
    EXPECT_EQ(writes[1].at_ms, 2000);
    EXPECT_EQ(writes[2].at_ms, 10100);
    EXPECT_EQ(writes[6].at_ms, request5 + 7000 + 100);
    EXPECT_EQ(board_.requests, 64);
    EXPECT_EQ(log.last(), "Saving; 1024 Bytes to Disk File.");
    EXPECT_EQ(read_file("2418.eep").left(64 * 45), board_.records(64));
    EXPECT_EQ(f.hint(), "Done and saved to; 2418.eep");
}

TEST_F(Eeprom_read_test, CancelPaths) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", old_backup_);
    Tracked_file other(f.files, path("other.txt"));  // a file some other command holds open
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));

    // Cancel in the prompt with no read running: idle, the newest log line selected, and
    // the other command's file left open.
    f.List_1->set_selected_index(-1);
    dialogs_.answer("");
    press();
    EXPECT_TRUE(is_idle());
    EXPECT_EQ(f.List_1->selected_index(), 0);
    EXPECT_TRUE(other.isOpen());
    EXPECT_EQ(log_lines().size(), 1);
    EXPECT_EQ(f.title(), "");
    EXPECT_TRUE(port_.writes.empty());

    // A second press during the sign-on wait, confirmed: CAN, idle, no file.
    dialogs_.answer("2418.eep");
    press_at(700, "6418.eep");
    press();
    EXPECT_EQ(sent(), (std::vector<Sent>{{700, "\x18"}}));
    EXPECT_TRUE(is_idle());
    EXPECT_EQ(f.title(), "6418.eep");
    EXPECT_EQ(f.state.Eeprom_file, "6418.eep");
    EXPECT_EQ(log_lines().last(), "EEPROM read cancelled.");
    EXPECT_EQ(files_here(), (QStringList{"2418.eep", "other.txt"}));

    // The same with Cancel in the second prompt: the read stops, the board is not told.
    port_.writes.clear();
    dialogs_.answer("2418.eep");
    press_at(1500, "");
    press();
    EXPECT_TRUE(port_.writes.empty());
    EXPECT_TRUE(is_idle());
    EXPECT_EQ(log_lines().last(), "EEPROM read cancelled.");

    // In the line loop, while waiting for line 11: CAN and nothing more; what came is
    // kept as partial, the old backup is untouched.
    port_.writes.clear();
    std::int64_t t0 = clock_.now_ms();
    answer_and_sign_on("2418.eep");
    press_at(t0 + 1000 + 1000 + 10 * 120 + 10, "2418.eep");
    press();
    std::vector<Sent> expected = join({{t0 + 1500, "\xB3"}}, dump_requests(t0 + 2000, 11));
    expected.push_back({t0 + 2000 + 10 * 120 + 10, "\x18"});
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(read_file("2418.eep"), old_backup_);
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(10));
    EXPECT_EQ(log_lines().mid(log_lines().size() - 3),
              (QStringList{board_.dump_line(10), "EEPROM read cancelled.",
                           "10 records kept in; 2418.eep.partial"}));
    EXPECT_TRUE(is_idle());
    EXPECT_TRUE(other.isOpen());
    EXPECT_EQ(f.files.count(), 1u);

    // Inside the 100 ms pause after line 3: CAN, and the pause ends without its "#".
    port_.writes.clear();
    t0 = clock_.now_ms();
    answer_and_sign_on("2418.eep");
    press_at(t0 + 2000 + 2 * 120 + 20 + 50, "2418.eep");
    press();
    expected = join({{t0 + 1500, "\xB3"}}, dump_requests(t0 + 2000, 3));
    expected.push_back({t0 + 2000 + 2 * 120 + 70, "\x18"});
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(3));  // the older partial replaced
    EXPECT_EQ(read_file("2418.eep"), old_backup_);

    // Inside the pause before the start byte: no 0xB3 after the CAN; nothing was received,
    // so no partial file either.
    QFile::remove(path("2418.eep.partial"));
    port_.writes.clear();
    t0 = clock_.now_ms();
    answer_and_sign_on("2418.eep");
    press_at(t0 + 1200, "2418.eep");
    press();
    EXPECT_EQ(sent(), (std::vector<Sent>{{t0 + 1200, "\x18"}}));
    EXPECT_EQ(files_here(), (QStringList{"2418.eep", "other.txt"}));
    EXPECT_EQ(log_lines().last(), "EEPROM read cancelled.");
    EXPECT_TRUE(is_idle());
    EXPECT_EQ(board_.cancels, 4);
    EXPECT_FALSE(clock_.stalled());
}

TEST_F(Eeprom_read_test, BusyTransfersElsewhereKeepItFromStarting) {
    const Vimbo_form& f = ready(1024);
    for (Vb_button* other : {f.Cmd_write_eeprom, f.Cmd_update_vimbo}) {
        const QString caption = other->text();
        other->setText("BUSY!");
        press();
        EXPECT_TRUE(dialogs_.inputs.empty());
        EXPECT_TRUE(is_idle());
        other->setText("busy!");  // the comparison is exact
        press();
        EXPECT_EQ(dialogs_.inputs.size(), 1u);
        dialogs_.inputs.clear();
        other->setText(caption);
    }
    EXPECT_TRUE(port_.writes.empty());
}

TEST_F(Eeprom_read_test, AnUnknownModelIsRefusedBeforeAnythingStarts) {
    Vimbo_form& f = ready(1024);
    for (const char* name : {"7428.eep", "2.eep", " 2418.eep", "4218.eep"}) {
        dialogs_.answer(name);
        board().deliver("#\xBE\r");  // even with the board ready
        clock_.run_pending();
        press();
        EXPECT_EQ(log_lines().last(),
                  "EEPROM read refused: the file name must begin with 24, 64 or 88 (the "
                  "microcontroller type).");
        EXPECT_TRUE(is_idle());
        EXPECT_EQ(f.title(), name);
        EXPECT_EQ(f.state.Eeprom_file, name);
    }
    EXPECT_TRUE(port_.writes.empty());
    EXPECT_TRUE(files_here().isEmpty());
    // The prompt offers the refused name again, to be corrected.
    dialogs_.answer("");
    press();
    EXPECT_EQ(dialogs_.inputs.back().default_answer, "4218.eep");
}

// Each way a dump line can be wrong ends the read with its message: no record for it, no
// trailer, no "Done"; what came before is in the partial file, the old backup untouched.
TEST_F(Eeprom_read_test, ABadLineEndsTheReadAndKeepsTheOldBackup) {
    const Vimbo_form& f = ready(1024);
    struct Case {
        int line;
        QByteArray sent_as;
        QString message;
    };
    const QByteArray colon = "#00:102030405060708090A0B0C0D0E0F00";
    const Case cases[] = {
        // 00..0F with 77: the sum is 78.
        {3, "#000102030405060708090A0B0C0D0E0F77",
         " Line CheckSum error received! 77 Should be; 78"},
        // A sum below 16 without its leading zero.
        {5, "#0000000000000000000000000000000708",
         " Line CheckSum error received! 08 Should be; 7"},
        {4, "#00000000000000000000000000000000a0", "Error Receiving Eeprom Chr! (a) Asc97"},
        {4, "#000102030405060708090a0b0c0d0e0f78", "Error Receiving Eeprom Chr! (a) Asc97"},
        {2, colon, "Error Receiving Eeprom Chr! (:) Asc58"},
        {2, "#0000000000000000000000000000000@00", "Error Receiving Eeprom Chr! (@) Asc64"},
        {6, board_.dump_line(6).left(30), "Error Receiving Eeprom Chr! ( ) Asc32"},
        {6, board_.dump_line(6) + "7", "Error Receiving Eeprom Chr! (7) Asc55"},
        // The board restarted: its sign-on instead of a dump line.
        {7, "#\xBE", "Error Receiving Eeprom Chr! (\u00BE) Asc190"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        write_file("2418.eep", old_backup_);
        QFile::remove(path("2418.eep.partial"));
        board_.replace = {{c.line, c.sent_as}};
        port_.writes.clear();
        answer_and_sign_on("2418.eep");
        const std::int64_t t0 = clock_.now_ms();
        press();
        EXPECT_EQ(sent(), join({{t0 + 1500, "\xB3"}}, dump_requests(t0 + 2000, c.line)));
        const int good = c.line - 1;
        EXPECT_EQ(log_lines().mid(log_lines().size() - 3),
                  (QStringList{QString::fromLatin1(c.sent_as), c.message,
                               QString::number(good) + (good == 1 ? " record" : " records") +
                                   " kept in; 2418.eep.partial"}));
        EXPECT_EQ(read_file("2418.eep"), old_backup_);
        EXPECT_EQ(read_file("2418.eep.partial"), board_.records(good));
        EXPECT_FALSE(QFile::exists(path("2418.eep.tmp")));
        EXPECT_EQ(f.hint(), board_.record(good));
        EXPECT_TRUE(is_idle());
    }
}

TEST_F(Eeprom_read_test, StrayLinesDuringTheLoopAreOnlyLogged) {
    const Vimbo_form& f = ready(1024);
    board_.before_line[10] = "+CREG: 0,1\r\n";
    board_.before_line[20] = "\r\n";
    answer_and_sign_on("2418.eep");
    press();
    const QStringList log = log_lines();
    EXPECT_EQ(log.indexOf("+CREG: 0,1"), log.indexOf(board_.dump_line(10)) - 1);
    EXPECT_EQ(log.indexOf(""), log.indexOf(board_.dump_line(20)) - 1);
    EXPECT_EQ(log.last(), "Saving; 1024 Bytes to Disk File.");
    EXPECT_TRUE(read_file("2418.eep").startsWith(board_.records(64) + "#00000001FF\r\n"));
    EXPECT_EQ(f.hint(), "Done and saved to; 2418.eep");
}

TEST_F(Eeprom_read_test, RunTimeEndingsEachSayWhy) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", old_backup_);

    // The file cannot be created: stopped before anything is sent.
    answer_and_sign_on("24 no such folder/2418.eep");
    press();
    EXPECT_EQ(log_lines().last(), "EEPROM read stopped: the file cannot be created.");
    EXPECT_TRUE(port_.writes.empty());
    EXPECT_TRUE(is_idle());

    // The port closed under the read (converter unplugged) after line 10.
    board_.unplug_after = 10;
    answer_and_sign_on("2418.eep");
    press();
    EXPECT_EQ(log_lines().mid(log_lines().size() - 4),
              (QStringList{board_.dump_line(10), "COMM:3 lost: the device has gone away.",
                           "EEPROM read stopped: the port was lost.",
                           "10 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(board_.requests, 10);
    EXPECT_EQ(read_file("2418.eep"), old_backup_);
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(10));
    EXPECT_TRUE(is_idle());
    EXPECT_FALSE(f.MSerial.PortOpen());

    // The port is not open: the sign-on was received before it was closed; stopped at the
    // first send, and the empty file does not stay.
    QFile::remove(path("2418.eep.partial"));
    f.state.Rx_reply = QString::fromLatin1("#\xBE");
    port_.writes.clear();
    dialogs_.answer("2418.eep");
    press();
    EXPECT_EQ(log_lines().last(), "EEPROM read stopped: the port is not open.");
    EXPECT_EQ(files_here(), QStringList{"2418.eep"});
    EXPECT_TRUE(is_idle());

    // A send that fails on an open port.
    open_port(3);
    board_.unplug_after = 0;
    answer_and_sign_on("2418.eep");
    clock_.at(clock_.now_ms() + 1000 + 1000 + 3 * 120 + 50, [&] { port_.fail_writes = true; });
    press();
    port_.fail_writes = false;
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              (QStringList{"EEPROM read stopped: sending to the port failed.",
                           "4 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(4));
    EXPECT_EQ(read_file("2418.eep"), old_backup_);
}

TEST_F(Eeprom_read_test, AFinishedImageThatCannotTakeItsNameIsKeptAsPartial) {
    ready(1024);
    ASSERT_TRUE(QDir(path(".")).mkdir("2418.eep"));  // a folder of that name is in the way
    answer_and_sign_on("2418.eep");
    press();
    EXPECT_EQ(log_lines().mid(log_lines().size() - 3),
              (QStringList{"Saving; 1024 Bytes to Disk File.",
                           "EEPROM read stopped: the backup cannot be saved as 2418.eep.",
                           "64 records kept in; 2418.eep.partial"}));
    EXPECT_TRUE(read_file("2418.eep.partial").startsWith(board_.records(64) + "#00000001FF\r\n"));
    EXPECT_NE(form().hint(), "Done and saved to; 2418.eep");
    EXPECT_TRUE(is_idle());
}

TEST_F(Eeprom_read_test, ExitFromInsideAWaitKeepsThePartialNeverTheName) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", old_backup_);
    answer_and_sign_on("2418.eep");
    clock_.at(1000 + 1000 + 20 * 120 + 5, [&] { QTest::mouseClick(f.Cmd_exit, Qt::LeftButton); });
    press();
    EXPECT_EQ(quit_calls_, 1);
    EXPECT_FALSE(clock_.stalled());
    EXPECT_EQ(read_file("2418.eep"), old_backup_);
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(20));
    EXPECT_EQ(files_here(), (QStringList{"2418.eep", "2418.eep.partial"}));
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              (QStringList{"EEPROM read stopped: the program is closing.",
                           "20 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(f.files.count(), 0u);
    EXPECT_EQ(board_.requests, 21);
}

TEST_F(Eeprom_read_test, AFullDiskEndsTheReadWithWholeRecordsKept) {
    ready(1024);
    write_file("2418.eep", old_backup_);
    // Files of this process may not grow past 10 records and a part of the 11th.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const rlimit small{10 * 45 + 20, old_limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    answer_and_sign_on("2418.eep");
    press();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old_limit), 0);
    EXPECT_EQ(log_lines().mid(log_lines().size() - 3),
              (QStringList{board_.dump_line(11),
                           "EEPROM read stopped: the file cannot be written (disk full?).",
                           "10 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(10));
    EXPECT_EQ(read_file("2418.eep"), old_backup_);
    EXPECT_EQ(board_.requests, 11);
    EXPECT_TRUE(is_idle());
}
