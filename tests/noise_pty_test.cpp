#include "app/receiver.h"
#include "tests/fault_pty_fixture.h"

// Noise on the line at 115200 b/s while a transfer waits: random bytes from the simulator,
// NUL and 8-bit bytes, and a run of 100 KiB without a CR. The log shows every line one
// character per byte (Latin-1), no line holds a CR or LF or runs past the cut, and what the
// noise cannot be mistaken for goes on as it should.
class Noise_pty_test : public Fault_pty_test {
  protected:
    static QString latin1(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

    // The raw command for these bytes.
    static QString raw(const QByteArray& bytes) {
        return QStringLiteral("raw ") + QString::fromLatin1(bytes.toHex());
    }

    // What the read logs for a "#" line that is no dump line: its first character that is
    // not an upper-case hexadecimal digit (a blank where the line is too short).
    static QString character_error(const QString& line) {
        const QString digits = QStringLiteral("0123456789ABCDEF");
        const auto error = [](QChar c) {
            return "Error Receiving Eeprom Chr! (" + QString(c) + ") Asc" +
                   QString::number(c.unicode());
        };
        for (int i = 1; i < 35; ++i) {
            const QChar c = i < line.size() ? line[i] : QLatin1Char(' ');
            if (!digits.contains(c)) return error(c);
        }
        return line.size() > 35 ? error(line[35]) : QString();
    }
};

// Random bytes (all 256 values, CR and "#" among them) arrive while the read waits for its
// fifth line, which the board never sends. The first of their lines to start with "#" is
// taken as that line and ends the read; the lines before it are only logged. The backup
// under the name stays the old one, the four good records are kept beside it, and the
// console is still heard after.
TEST_F(Noise_pty_test, GarbageWhileTheReadWaitsEndsItAtTheFirstStrayReply) {
    Vimbo_form& f = ready({"--fault", "eeprom-silent=5"});
    scenario_
        .then([&] { return sim_.saw("event eeprom-request 5"); },
              [&] { type_while([&] { return read_busy(); }); })
        .then([&] {
            // These bytes hold a "#" line of their own; the CR and the line after them make
            // sure that a stray reply comes whatever the random bytes hold.
            EXPECT_TRUE(sim_.command("garbage 20000 11"));
            EXPECT_TRUE(sim_.command("raw 0D"));
            EXPECT_TRUE(sim_.command("send #stray reply"));
        });
    read_eeprom(kBackup);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_FALSE(hang_guard_fired_);

    // The random bytes' own lines go on arriving after the read has stopped.
    const QStringList log = log_lines();
    const qsizetype kept = log.indexOf("4 records kept in; 2418.eep.partial");
    ASSERT_GE(kept, 2);
    const QString& taken = log[kept - 2];
    EXPECT_TRUE(taken.startsWith('#')) << taken.toStdString();
    EXPECT_EQ(log[kept - 1], character_error(taken));
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(logged(board_.dump_line(k))) << k;
    EXPECT_GT(kept, 10) << "the random bytes' lines before the stray reply are logged";
    EXPECT_EQ(file(kBackup + ".partial"), board_.records(4));
    expect_old_backup_intact();
    expect_no_success();
    expect_transfers_idle();
    expect_log_lines_whole();

    // The console is still heard.
    ASSERT_TRUE(sim_.command("send after the garbage"));
    EXPECT_TRUE(run_until([&] { return log_lines().last() == "after the garbage"; }));
    EXPECT_TRUE(f.MSerial.PortOpen());
}

// Every byte value, NUL runs and a "#" line of 8-bit bytes arrive while UPDATE waits for the
// sign-on. Each console line is logged one character per byte; LF is dropped and CR ends a
// line wherever they come; the "#" line goes to the mailbox unseen and is no sign-on. After
// Initialize the update runs to its end.
TEST_F(Noise_pty_test, EveryByteValueAndNulsAreLoggedOneToOneWhileTheUpdateWaits) {
    Vimbo_form& f = ready({"--upload-out", path("received.txt")});
    write_file("8800.upd", update_file(3));
    QByteArray every_value;
    for (int b = 0; b < 256; ++b) every_value.append(char(b));
    const QByteArray nuls("\x00\x00\x41\x00\x00", 5);
    const QByteArray hash_line("#\x80\xFF\x00\xBF", 5);
    // 00-0C without the LF, then 0E-FF: the CR in between ends the first line.
    QByteArray first = every_value.left(13);
    first.remove(10, 1);
    const QByteArray second = every_value.mid(14);

    bool mailbox_held_the_hash_line = false;
    scenario_
        .then([&] { return update_busy(); },
              [&] {
                  EXPECT_TRUE(sim_.command(raw(every_value + "\r")));
                  EXPECT_TRUE(sim_.command(raw(nuls + "\r\n")));
                  EXPECT_TRUE(sim_.command(raw(hash_line + "\r")));
              })
        .then([&] { return f.state.Rx_reply == latin1(hash_line) && logged(latin1(nuls)); },
              [&] {
                  mailbox_held_the_hash_line = true;
                  type_while([&] { return update_busy(); });
              })
        .then([&] { click(f.Cmd_initialize_vimbo); });
    upload(f.Cmd_update_vimbo, false);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(mailbox_held_the_hash_line);
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_FALSE(hang_guard_fired_);

    EXPECT_EQ(log_lines(),
              (QStringList{"COMM:3 115200b/s.N.8.1...", "Don't click on BUSY to escape but wait!",
                           latin1(first), latin1(second), latin1(nuls),
                           "SMS CONTROLLER SIM V1.0 READY", "Hardware responding...", "8800.upd",
                           "Hardware Id = #2418", "WRITING; 8800.upd", kUpdateSuccess}));
    EXPECT_EQ(log_lines()[3].size(), 242);
    EXPECT_EQ(file("received.txt"), QByteArray(update_file(3)).replace("\r\n", "\n"));
    EXPECT_TRUE(dialogs_.boxes.empty());
    expect_transfers_idle();
    expect_old_backup_intact();
}

// 100 KiB without a CR arrive while Read EEP waits for the sign-on: the first 64 KiB are cut
// off as a line of their own, the rest waits for its line end, which the board's greeting
// after Initialize brings. The sign-on behind it is seen and the backup is complete.
TEST_F(Noise_pty_test, ARunOf100KiBWithoutCrIsCutAt64KiBAndTheReadStillSucceeds) {
    Vimbo_form& f = ready();
    QByteArray run;
    unsigned x = 100;
    constexpr qsizetype kRunBytes = 100 * 1024;
    while (run.size() < kRunBytes) {
        x = x * 1103515245u + 12345u;
        const char byte = char((x >> 16) & 0xFF);
        if (byte != '\r' && byte != '\n' && !(run.isEmpty() && byte == '#')) run.append(byte);
    }
    const int cut = Receiver::kMaxPartialLine;
    scenario_.then([&] { return read_busy(); }, [&] { EXPECT_TRUE(sim_.command(raw(run))); })
        .then([&] { return f.state.Rx_partial.size() == run.size() - cut; },
              [&] { type_while([&] { return read_busy(); }); })
        .then([&] { click(f.Cmd_initialize_vimbo); });
    read_eeprom(kBackup, false);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_FALSE(hang_guard_fired_);

    const QStringList log = log_lines();
    ASSERT_GE(log.size(), 3);
    EXPECT_TRUE(log[1] == latin1(run.left(cut)));
    EXPECT_TRUE(log[2] == latin1(run.mid(cut)) + "SMS CONTROLLER SIM V1.0 READY");
    EXPECT_EQ(log.last(), "Saving; 1024 Bytes to Disk File.");
    EXPECT_EQ(f.hint(), "Done and saved to; 2418.eep");
    expect_complete_backup(kBackup);
    EXPECT_FALSE(exists(kBackup + ".partial"));
    expect_transfers_idle();
    expect_log_lines_whole();
}
