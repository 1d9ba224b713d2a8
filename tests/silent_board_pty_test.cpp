#include "tests/fault_pty_fixture.h"
#include "upload/update_vimbo.h"

// The board goes silent in each wait of the EEPROM read and of the upload. A wait with a
// time limit ends with its timeout text; a wait without one goes on until the user stops
// it. Either way the window keeps answering, nothing claims success, the older backup and
// the file being sent stay as they were, and the transfer buttons end idle.
class Silent_board_pty_test : public Fault_pty_test {
  protected:
    // Waits as a read, then cancels it once the timeout text is in the log (or at once for
    // the waits that have none), typing into the window meanwhile.
    void read_then_cancel(const std::function<bool()>& waiting_for_board) {
        scenario_.then(waiting_for_board, [this] { type_while([this] { return read_busy(); }); })
            .then([this] { cancel_read(); });
        read_eeprom(kBackup);
        EXPECT_TRUE(scenario_.finished());
        EXPECT_TRUE(typed_while_waiting_);
        EXPECT_FALSE(hang_guard_fired_);
    }
    // Everything a cancelled read must leave, after records records were received.
    void expect_cancelled_read(int records) {
        const QStringList log = log_lines();
        if (records == 0) {
            EXPECT_EQ(log.last(), "EEPROM read cancelled.");
            EXPECT_FALSE(exists(kBackup + ".partial"));
        } else {
            EXPECT_EQ(
                log.mid(log.size() - 2),
                (QStringList{"EEPROM read cancelled.", QString::number(records) +
                                                           (records == 1 ? " record" : " records") +
                                                           " kept in; 2418.eep.partial"}));
            EXPECT_EQ(file(kBackup + ".partial"), board_.records(records));
        }
        for (int k = 1; k <= records; ++k) EXPECT_TRUE(logged(board_.dump_line(k))) << k;
        EXPECT_FALSE(logged(board_.dump_line(records + 1)));
        expect_old_backup_intact();
        expect_no_success();
        expect_transfers_idle();
        EXPECT_TRUE(form().MSerial.PortOpen());
    }
    // Sends 8800.upd with the board's loader going silent as armed; the transfer must end by
    // itself once its wait runs out, with the window answering while it waits.
    void update_until_timeout(const std::function<bool()>& waiting_for_board) {
        scenario_.then(waiting_for_board, [this] { type_while([this] { return update_busy(); }); });
        upload(form().Cmd_update_vimbo);
        EXPECT_TRUE(scenario_.finished());
        EXPECT_TRUE(typed_while_waiting_);
        EXPECT_FALSE(hang_guard_fired_);
    }
    QList<QByteArray> received() const {
        QList<QByteArray> lines = file("received.txt").split('\n');
        lines.removeLast();  // after the last line end
        return lines;
    }
    static QList<QByteArray> lines_of(const QByteArray& text) {
        QList<QByteArray> lines = text.split('\n');
        lines.removeLast();
        for (QByteArray& line : lines) line.chop(1);  // the CR
        return lines;
    }
    void expect_failed_upload(const QString& box_text, const QString& stop_line) {
        EXPECT_EQ(dialogs_.boxes, std::vector<QString>{box_text});
        ASSERT_FALSE(log_lines().isEmpty());
        EXPECT_EQ(log_lines().last(), stop_line);
        EXPECT_EQ(form().hint(), kNoResponseHint);
        EXPECT_EQ(form().title(), " VIMBO .....");
        expect_no_success();
        expect_transfers_idle();
        expect_old_backup_intact();
    }

    void read_silent_from_line(int n);

    const QString kNoReply = "RQMxx do not responde with in delay";
    const QString kNoResponseHint = "RQMxx take to long to respond! (Also check the serial link)";
    const QString kInitializeHint = " *** Press [ Initialize ] if not yet done! ***";
};

// Read EEP: the board ignores even the reset, so no sign-on comes. That wait has no time
// limit; the hint keeps asking for Initialize and a press of the busy button ends it.
TEST_F(Silent_board_pty_test, ReadWaitingForTheSignOnWaitsUntilCancelled) {
    Vimbo_form& f = ready();
    ASSERT_TRUE(sim_.command("silent on"));
    // Initialize (clicked by the read's prompt) is handled while the read waits.
    read_then_cancel([&] { return read_busy() && f.Text_Cmd->text() == "AT"; });
    EXPECT_EQ(log_lines(), (QStringList{"COMM:3 115200b/s.N.8.1...", "EEPROM read cancelled."}));
    EXPECT_EQ(f.hint(), kInitializeHint);
    expect_cancelled_read(0);
    EXPECT_EQ(sim_status(), "status mode=console eeprom_lines=0 upload_lines=0");
}

// Read EEP: the dump starts but the first request gets no answer. That request has no reply
// timer, so the wait goes on until the user cancels, and the board is told to stop.
TEST_F(Silent_board_pty_test, ReadWaitingForTheFirstLineWaitsUntilCancelled) {
    const Vimbo_form& f = ready({"--fault", "eeprom-silent=1"});
    read_then_cancel([&] { return sim_.saw("event eeprom-request 1"); });
    EXPECT_EQ(f.hint(), kInitializeHint);
    expect_cancelled_read(0);
    EXPECT_TRUE(sim_.wait_for_line("event eeprom-cancel"));
}

// Read EEP: the board falls silent before dump line n. After 5 s the log says so and the
// hint asks about the link; the read waits on (a late line would still be taken) until it
// is cancelled. No backup under the name; the lines received are kept beside it.
void Silent_board_pty_test::read_silent_from_line(int n) {
    const Vimbo_form& f = ready({"--fault", "eeprom-silent=" + QString::number(n)});
    read_then_cancel([&] { return logged(kNoReply); });
    EXPECT_EQ(f.hint(), " ??? Is the serial link Ok ???");
    EXPECT_FALSE(logged("Saving; 1024 Bytes to Disk File."));
    const QStringList log = log_lines();
    EXPECT_EQ(log.indexOf(kNoReply), log.indexOf(board_.dump_line(n - 1)) + 1);
    expect_cancelled_read(n - 1);
    EXPECT_TRUE(sim_.wait_for_line("event eeprom-cancel"));
}

TEST_F(Silent_board_pty_test, ReadWaitingForTheSecondLineTellsTheTimeoutAndWaitsOn) {
    read_silent_from_line(2);
}

TEST_F(Silent_board_pty_test, ReadWaitingForTheLastLineTellsTheTimeoutAndWaitsOn) {
    read_silent_from_line(64);
}

// UPDATE: the loader says nothing at all, not even its hardware id: after 8 s the log says
// so and the transfer ends without a box; nothing was sent but the start byte.
TEST_F(Silent_board_pty_test, UpdateWaitingForTheHardwareIdEndsWithItsTimeoutLine) {
    const Vimbo_form& f =
        ready({"--upload-out", path("received.txt"), "--fault", "loader-silent=0"});
    write_file("8800.upd", update_file(4));
    update_until_timeout([&] { return sim_.saw("event loader-start"); });
    const QStringList log = log_lines();
    EXPECT_EQ(log.mid(log.size() - 3),
              (QStringList{"Hardware responding...", "8800.upd",
                           "RQMxx take to long to respond! Check the serial link."}));
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(f.title(), " VIMBO .....");
    EXPECT_TRUE(received().isEmpty());
    EXPECT_EQ(file("8800.upd"), update_file(4));
    expect_no_success();
    expect_transfers_idle();
    expect_old_backup_intact();
}

// UPDATE: the hardware id comes, the loader's first request does not: after 4.5 s the hint
// tells the timeout and the failure box comes; no line was sent.
TEST_F(Silent_board_pty_test, UpdateWaitingForTheFirstRequestEndsWithTheFailureBox) {
    ready({"--upload-out", path("received.txt"), "--fault", "loader-silent=0"});
    write_file("8800.upd", update_file(4));
    scenario_.then([&] { return sim_.saw("event loader-start"); },
                   [&] { EXPECT_TRUE(sim_.command("send #2418")); });
    update_until_timeout([&] { return logged("WRITING; 8800.upd"); });
    EXPECT_TRUE(logged("Hardware Id = #2418"));
    EXPECT_TRUE(received().isEmpty());
    EXPECT_EQ(file("8800.upd"), update_file(4));
    expect_failed_upload(Upload_procedure::update_failed_text(),
                         "Upload stopped before the first line: no reply from the board.");
}

// UPDATE: no answer to the second line.
TEST_F(Silent_board_pty_test, UpdateWaitingForTheReplyToALineEndsWithTheFailureBox) {
    ready({"--upload-out", path("received.txt"), "--fault", "loader-silent=2"});
    write_file("8800.upd", update_file(4));
    update_until_timeout([&] { return sim_.saw("event loader-line 2"); });
    EXPECT_EQ(received(), lines_of(update_file(4)).mid(0, 2));
    EXPECT_EQ(file("8800.upd"), update_file(4));
    expect_failed_upload(Upload_procedure::update_failed_text(),
                         "Upload stopped after line 2 of 5: no reply from the board.");
}

// UPDATE: every line got through but the end record gets no "#@": that is no success.
TEST_F(Silent_board_pty_test, UpdateWaitingForTheReplyToTheEndRecordEndsWithTheFailureBox) {
    ready({"--upload-out", path("received.txt"), "--fault", "loader-silent=5"});
    write_file("8800.upd", update_file(4));
    update_until_timeout([&] { return sim_.saw("event loader-line 5"); });
    EXPECT_EQ(received(), lines_of(update_file(4)));
    EXPECT_EQ(file("8800.upd"), update_file(4));
    expect_failed_upload(Upload_procedure::update_failed_text(),
                         "Upload stopped after line 5 of 5: no reply from the board.");
}

// Write EEP: the backup being written back gets no answer to its third line; the backup
// file stays as it was.
TEST_F(Silent_board_pty_test, EepromWriteWaitingForTheReplyToALineEndsWithItsFailureBox) {
    Vimbo_form& f = ready({"--upload-out", path("received.txt"), "--fault", "loader-silent=3"});
    const QByteArray backup = update_file(64);  // a whole backup, as Write EEP checks it
    write_file(kBackup, backup);
    f.state.Eeprom_file = kBackup;
    scenario_.then([&] { return sim_.saw("event loader-line 3"); },
                   [&] { type_while([&] { return write_busy(); }); });
    upload(f.Cmd_write_eeprom);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_FALSE(hang_guard_fired_);
    EXPECT_EQ(received(), lines_of(backup).mid(0, 3));
    EXPECT_EQ(file(kBackup), backup);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::eeprom_failed_text()});
    EXPECT_EQ(log_lines().last(), "Upload stopped after line 3 of 65: no reply from the board.");
    EXPECT_EQ(f.hint(), kNoResponseHint);
    expect_no_success();
    expect_transfers_idle();
}

// UPDATE and Write EEP: the board ignores the reset, so no sign-on comes. That wait has no
// time limit: a click on the busy button ends it, without a box, in both uses.
TEST_F(Silent_board_pty_test, UploadsWaitingForTheSignOnEndOnAClickOnTheBusyButton) {
    Vimbo_form& f = ready({"--upload-out", path("received.txt")});
    ASSERT_TRUE(sim_.command("silent on"));
    write_file("8800.upd", update_file(4));
    scenario_
        .then([&] { return update_busy() && f.Text_Cmd->text() == "AT"; },
              [&] { type_while([&] { return update_busy(); }); })
        .then([&] { click(f.Cmd_update_vimbo); });
    upload(f.Cmd_update_vimbo);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_EQ(log_lines().last(), "Don't click on BUSY to escape but wait!");
    EXPECT_EQ(f.hint(), kInitializeHint);

    typed_while_waiting_ = false;
    write_file("2418 whole.eep", update_file(64));  // Write EEP checks it before the wait
    f.state.Eeprom_file = "2418 whole.eep";
    const int logged_before = int(log_lines().size());
    scenario_
        .then([&] { return write_busy() && f.Text_Cmd->text() == "AT"; },
              [&] { type_while([&] { return write_busy(); }); })
        .then([&] { click(f.Cmd_write_eeprom); });
    upload(f.Cmd_write_eeprom);
    EXPECT_TRUE(scenario_.finished());
    EXPECT_TRUE(typed_while_waiting_);
    EXPECT_EQ(log_lines().size(), logged_before);

    EXPECT_FALSE(hang_guard_fired_);
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(f.title(), " VIMBO .....");
    EXPECT_TRUE(received().isEmpty());
    EXPECT_EQ(file("8800.upd"), update_file(4));
    expect_no_success();
    expect_transfers_idle();
    expect_old_backup_intact();
    EXPECT_EQ(sim_status(), "status mode=console eeprom_lines=0 upload_lines=0");
}
