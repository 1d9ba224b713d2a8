#include "app/receiver.h"
#include "tests/support/form_fixture.h"

class Receive_test : public Form_test {
  protected:
    Vimbo_form& ready() {
        Vimbo_form& f = make_form();
        open_port(3);
        f.List_1->clear_items();
        return f;
    }
    void from_board(const QByteArray& bytes) {
        board().deliver(bytes);
        clock_.run_pending();
    }
};

TEST_F(Receive_test, LinesEndAtCrAndLfIsDropped) {
    Vimbo_form& f = ready();
    from_board("O");
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "rx");
    from_board("K");
    EXPECT_EQ(f.state.Rx_partial, "OK");
    from_board("\r");
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "");
    from_board("\n");
    EXPECT_EQ(log_lines(), QStringList{"OK"});
    EXPECT_EQ(f.List_1->selected_index(), 0);
    // LF CR, a bare CR, an empty line, LF inside a line.
    from_board("\nA1\rB\n2\r\r");
    EXPECT_EQ(log_lines(), (QStringList{"OK", "A1", "B2", ""}));
    EXPECT_EQ(f.List_1->selected_index(), 3);
    EXPECT_EQ(f.state.Rx_line, "");
    EXPECT_EQ(f.state.Rx_first, " ");
    EXPECT_EQ(f.state.Rx_char, " ");
    // LF alone never ends a line.
    from_board("xy\n\nz");
    EXPECT_EQ(log_lines().size(), 4);
    EXPECT_EQ(f.state.Rx_partial, "xyz");
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "rx");
}

TEST_F(Receive_test, HashLinesGoToTheMailboxOnly) {
    Vimbo_form& f = ready();
    from_board("#2418\r");
    EXPECT_EQ(f.state.Rx_reply, "#2418");
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(f.state.Rx_first, "#");
    from_board("#$\r\n");
    EXPECT_EQ(f.state.Rx_reply, "#$");  // the newer line replaces the older
    from_board(" #$\r");
    EXPECT_EQ(log_lines(), QStringList{" #$"});  // only the very first character counts
    EXPECT_EQ(f.state.Rx_reply, "#$");
    from_board(QByteArray("#\xBE\x01\xff", 4) + "\r");
    EXPECT_EQ(f.state.Rx_reply, QString::fromLatin1("#\xBE\x01\xff", 4));
}

TEST_F(Receive_test, EightBitBytesAndNulMapOneToOne) {
    Vimbo_form& f = ready();
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') all.append(char(b));
    }
    from_board(all + "\r");
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_EQ(log_lines()[0], QString::fromLatin1(all));
    EXPECT_EQ(f.List_1->item(0).size(), 254);
    // The copy box holds them as received too, the non-breaking space 0xA0 included.
    f.Text_to_copy->show();
    from_board(all + "\r");
    EXPECT_EQ(f.Text_to_copy->text(), QString::fromLatin1(all) + "\r\n");
}

TEST_F(Receive_test, CopyBoxGetsLoggedLinesShorterThan1024) {
    Vimbo_form& f = ready();
    from_board("before\r");
    f.Text_to_copy->show();
    from_board("line one\r\n#hidden\r");
    from_board(QByteArray(1023, 'a') + "\r");
    from_board(QByteArray(1024, 'b') + "\r");
    from_board("last\r");
    EXPECT_EQ(f.Text_to_copy->text(), "line one\r\n" + QString(1023, 'a') + "\r\nlast\r\n");
    EXPECT_EQ(log_lines().size(), 5);
    EXPECT_EQ(log_lines()[3], QString(1024, 'b'));
    f.Text_to_copy->hide();
    from_board("after\r");
    EXPECT_FALSE(f.Text_to_copy->text().contains("after"));
}

TEST_F(Receive_test, EmptyReadIsOneBlankAndAnEndlessLineIsCut) {
    Vimbo_form& f = ready();
    // A notification with nothing to read appends one blank.
    f.receiver().MSerial_OnComm();
    EXPECT_EQ(f.state.Rx_partial, " ");
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "rx");
    from_board("\r");
    EXPECT_EQ(log_lines(), QStringList{" "});

    // A run without CR is ended at 64 KiB, as if a CR had come.
    from_board(QByteArray(Receiver::kMaxPartialLine + 10, 'x'));
    ASSERT_EQ(log_lines().size(), 2);
    EXPECT_EQ(log_lines()[1].size(), Receiver::kMaxPartialLine);
    EXPECT_EQ(f.state.Rx_partial, QString(10, 'x'));
}

TEST_F(Receive_test, PartialLineSurvivesClosingAndReopening) {
    Vimbo_form& f = ready();
    from_board("par");
    f.MSerial.set_PortOpen(false);
    from_board("lost");  // nothing arrives on a closed port
    open_port(3);
    from_board("tial\r");
    EXPECT_EQ(log_lines().last(), "partial");
}

TEST_F(Receive_test, TimersAreOneShotAndSetTheirFlags) {
    Vimbo_form& f = make_form();
    f.Timer1->set_interval(500);
    f.state.Timer1_expired = false;
    f.Timer1->set_enabled(true);
    f.Timer2->set_interval(100);
    f.Timer2->set_enabled(true);
    clock_.advance(99);
    EXPECT_FALSE(f.state.Timer2_expired);  // never early
    clock_.advance(1);
    EXPECT_TRUE(f.state.Timer2_expired);
    EXPECT_FALSE(f.Timer2->enabled());
    clock_.advance(399);
    EXPECT_FALSE(f.state.Timer1_expired);
    clock_.advance(1);
    EXPECT_TRUE(f.state.Timer1_expired);
    EXPECT_FALSE(f.Timer1->enabled());
    f.state.Timer1_expired = false;
    clock_.advance(5000);
    EXPECT_FALSE(f.state.Timer1_expired);  // one tick per arming
}
