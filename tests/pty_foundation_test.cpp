#include "app/port_opening.h"
#include "tests/support/pty_fixture.h"

// The real QSerialPort against the board simulator on a pseudo-terminal.
class Pty_foundation : public Pty_test {
  protected:
    void open_com(int n) {
        form().Text_com_number->setText(QString::number(n));
        form().Text_baud_rate->setText("115200");
        form().port_opening().Cmd_com_usb_Click();
    }
};

TEST_F(Pty_foundation, OpensThroughTheComLinkReceivesLinesAndRepliesClosesAndReopens) {
    ASSERT_TRUE(start_sim(3));
    Vimbo_form& f = make_form();
    open_com(3);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 115200b/s.N.8.1..."});

    ASSERT_TRUE(sim_.command("send hello from the board"));
    ASSERT_TRUE(sim_.command("raw 23 32 34 31 38 0D"));  // "#2418" CR
    ASSERT_TRUE(run_until([&] { return log_lines().size() == 2 && f.state.Rx_reply == "#2418"; }));
    EXPECT_EQ(log_lines().last(), "hello from the board");

    // The board answers a console line.
    f.MSerial.Output("AT+CSQ\r");
    ASSERT_TRUE(run_until([&] { return log_lines().contains("+CSQ: 21,0"); }));

    f.MSerial.set_PortOpen(false);
    open_com(3);
    ASSERT_TRUE(f.MSerial.PortOpen());
    ASSERT_TRUE(sim_.command("send again"));
    ASSERT_TRUE(run_until([&] { return log_lines().last() == "again"; }));

    // A port with no device behind it.
    open_com(5);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines()[log_lines().size() - 2], "Invalid COM port number!");
    EXPECT_TRUE(log_lines().last().startsWith("COM 5 = /dev/ttyS4: "))
        << log_lines().last().toStdString();
    EXPECT_EQ(f.Cmd_com_usb->back_color(), QColor(255, 15, 0));
}

TEST_F(Pty_foundation, UnpluggedBoardIsReportedOnceAndTheWindowStaysResponsive) {
    ASSERT_TRUE(start_sim(3));
    Vimbo_form& f = make_form();
    open_com(3);
    ASSERT_TRUE(f.MSerial.PortOpen());
    ASSERT_TRUE(sim_.command("unplug"));
    ASSERT_TRUE(run_until([&] { return !f.MSerial.PortOpen(); }));
    // Let any storm of errors pass: still one line.
    run_until([] { return false; }, 300);
    EXPECT_EQ(log_lines().filter("lost").size(), 1);
    EXPECT_EQ(f.Cmd_com_usb->back_color(), QColor(255, 15, 0));
    // Back again: "Com/usb" reopens it.
    ASSERT_TRUE(sim_.command("replug"));
    open_com(3);
    EXPECT_TRUE(f.MSerial.PortOpen());
    ASSERT_TRUE(sim_.command("send back"));
    ASSERT_TRUE(run_until([&] { return log_lines().last() == "back"; }));
}

TEST_F(Pty_foundation, GarbageNulAndEightBitBytesAndALongRunWithoutCr) {
    ASSERT_TRUE(start_sim(3));
    Vimbo_form& f = make_form();
    open_com(3);
    ASSERT_TRUE(sim_.command("garbage 20000 7"));
    ASSERT_TRUE(sim_.command("raw 00 FF 80 41 0D"));
    const QString tail = QString::fromLatin1(
        "\x00\xFF\x80"
        "A",
        4);
    ASSERT_TRUE(
        run_until([&] { return !log_lines().isEmpty() && log_lines().last().endsWith(tail); }));
    for (const QString& line : log_lines()) {
        EXPECT_FALSE(line.contains('\r'));
        EXPECT_FALSE(line.contains('\n'));
    }
    EXPECT_TRUE(f.MSerial.PortOpen());
}

TEST_F(Pty_foundation, AReturningBoardIsReopenedByItselfWithoutAByteSent) {
    ASSERT_TRUE(start_sim(3));
    Vimbo_form& f = make_form();
    open_com(3);
    ASSERT_TRUE(f.MSerial.PortOpen());
    ASSERT_TRUE(sim_.command("unplug"));
    ASSERT_TRUE(run_until([&] { return !f.MSerial.PortOpen(); }));
    // The simulator comes back on a new pseudo-terminal behind the same com3 link.
    ASSERT_TRUE(sim_.command("replug"));
    ASSERT_TRUE(run_until([&] { return f.MSerial.PortOpen(); }));
    EXPECT_EQ(log_lines().last(), "COMM:3 is back: open again at 115200b/s.N.8.1...");
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    ASSERT_TRUE(sim_.command("send back"));
    ASSERT_TRUE(run_until([&] { return log_lines().last() == "back"; }));
    EXPECT_TRUE(sim_.lines().filter("event console").isEmpty());  // the board got nothing
    f.MSerial.Output("AT\r");
    ASSERT_TRUE(sim_.wait_for_line("event console AT"));
}
