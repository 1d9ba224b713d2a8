#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "app/control_table.h"
#include "tests/support/pty_fixture.h"

// The real window and serial port against the board simulator on a pseudo-terminal.
class Settings_pty_test : public Pty_test {
  protected:
    void write_settings(const QByteArray& content) {
        QFile f(path("vimbo.set"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    bool logged(const QString& line) {
        return run_until([&] { return log_lines().contains(line); });
    }
};

TEST_F(Settings_pty_test, StartUpOpensThePortNamedInTheFileAndClearReceiveDropsAndReopensIt) {
    ASSERT_TRUE(start_sim(3));
    write_settings(
        "3    Last selected CommPort Number.\r\n"
        "9600    Last selected Baud Rate.\r\n"
        "M35    Last selected GSM Engine.\r\n");
    Vimbo_form& f = make_form();
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 9600b/s.N.8.1..."});
    EXPECT_EQ(f.title(), " SMS CONTROLLER.......");
    EXPECT_EQ(f.Text_module_Id->text(), "M35");
    ASSERT_TRUE(sim_.command("send HELLO"));
    EXPECT_TRUE(logged("HELLO"));

    // First click: the port is let go and the button turns red.
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kRed);
    // Second click: opened again from the boxes, and the board is heard again.
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines().last(), "COMM:3 9600b/s.N.8.1...");
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    ASSERT_TRUE(sim_.command("send AGAIN"));
    EXPECT_TRUE(logged("AGAIN"));

    // Saving other boxes writes the file and reopens with them.
    f.Text_baud_rate->setText("19200");
    QTest::mouseClick(f.Cmd_save_settings, Qt::LeftButton);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines().last(), "COMM:3 19200b/s.N.8.1...");
    QFile saved(path("vimbo.set"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("3    Last selected CommPort Number.\r\n"
                                          "19200    Last selected Baud Rate.\r\n"
                                          "M35    Last selected GSM Engine.\r\n"));
}

TEST_F(Settings_pty_test, StartUpWithAPortThatCannotBeOpenedReportsTheFailure) {
    ASSERT_TRUE(start_sim(3));
    write_settings("4\r\n9600\r\nM35\r\n");
    // COM 4 is a plain file here, which no serial port can be opened on.
    QFile not_a_port(path("com4"));
    ASSERT_TRUE(not_a_port.open(QIODevice::WriteOnly));
    not_a_port.close();
    Vimbo_form& f = make_form();
    EXPECT_FALSE(f.MSerial.PortOpen());
    ASSERT_EQ(log_lines().size(), 2);
    EXPECT_EQ(log_lines()[0], "Invalid COM port number!");
    // Then the system's own words for a file that is no terminal.
    EXPECT_TRUE(
        log_lines()[1].startsWith("COM 4 = " + QFileInfo(path("com4")).canonicalFilePath() + ": "))
        << log_lines()[1].toStdString();
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_EQ(f.title(), " SMS CONTROLLER.......");
    EXPECT_EQ(f.Text_com_number->text(), "4");
}
