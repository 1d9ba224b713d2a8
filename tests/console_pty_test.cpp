#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include "app/port_opening.h"
#include "console/examples.h"
#include "tests/support/list_clicks.h"
#include "tests/support/pty_fixture.h"

// The console against the board simulator over a pseudo-terminal, with the examples file
// that ships with the program.
class Console_pty_test : public Pty_test {};

TEST_F(Console_pty_test, ControllerExampleByDoubleClickAndAnAtCommandBySend) {
    ASSERT_TRUE(start_sim(3));
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath("M35_cmd.txt");
    ASSERT_TRUE(QFile::copy(shipped, path("M35_cmd.txt")));
    Vimbo_form& f = make_form();
    f.show();
    f.Text_com_number->setText("3");
    f.Text_baud_rate->setText("9600");
    f.Text_module_Id->setText("M35");
    f.port_opening().Cmd_com_usb_Click();
    ASSERT_TRUE(f.MSerial.PortOpen());

    QTest::mouseClick(f.Cmd_start_SMS_mode, Qt::LeftButton);
    ASSERT_TRUE(sim_.wait_for_line("event console-mode pc"));
    ASSERT_FALSE(f.List_cmd_list->isHidden());
    const int status_row = row_starting_with(f.List_cmd_list, "6157 s ");
    ASSERT_GE(status_row, 0);
    double_click_row(f.List_cmd_list, status_row);
    EXPECT_EQ(f.Text_Cmd->text(), "6157 s");
    ASSERT_TRUE(sim_.wait_for_line("event console 6157 s"));
    EXPECT_TRUE(sim_.lines().contains("event console 6157 s"));  // the command part alone
    EXPECT_TRUE(run_until([&] { return log_lines().contains("GSM: REGISTERED  SIGNAL 21"); }));

    QTest::mouseClick(f.Cmd_start_AT_mode, Qt::LeftButton);
    ASSERT_TRUE(sim_.wait_for_line("event console-mode at"));
    EXPECT_EQ(row_starting_with(f.List_cmd_list, "6157"), -1);
    EXPECT_GE(row_starting_with(f.List_cmd_list, "AT+CSQ "), 0);
    f.Text_Cmd->setText("AT+CSQ");
    QTest::mouseClick(f.Cmd_send_cmd, Qt::LeftButton);
    ASSERT_TRUE(sim_.wait_for_line("event console AT+CSQ"));
    EXPECT_TRUE(sim_.lines().contains("event console AT+CSQ"));
    EXPECT_TRUE(run_until([&] { return log_lines().contains("+CSQ: 21,0"); }));
    EXPECT_TRUE(run_until([&] { return !log_lines().isEmpty() && log_lines().last() == "OK"; }));
}
