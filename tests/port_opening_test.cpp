#include <QTest>

#include "app/control_table.h"
#include "app/port_opening.h"
#include "serial/port_messages.h"
#include "serial/port_names.h"
#include "tests/support/form_fixture.h"

class Port_opening_test : public Form_test {};

TEST_F(Port_opening_test, SuccessfulOpeningLogsTheCommLineAndClearsTheTitle) {
    Vimbo_form& f = make_form();
    f.Cmd_com_usb->set_back_color(colors::kOrangeRed);
    f.Text_com_number->setText("3");
    f.Text_baud_rate->setText("9600");
    QTest::mouseClick(f.Cmd_com_usb, Qt::LeftButton);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(3));
    EXPECT_EQ(port_.opened_baud, 9600);
    EXPECT_EQ(f.MSerial.Settings(), "9600,N,8,1");
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 9600b/s.N.8.1..."});
    EXPECT_EQ(f.List_1->selected_index(), 0);
    EXPECT_EQ(f.title(), "");
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    EXPECT_EQ(f.state.Com_number, "3");
    EXPECT_EQ(f.state.Baud_rate, "9600");

    // Clicking again closes and reopens the port: a second COMM line.
    f.Text_baud_rate->setText(" 19200xyz");
    QTest::mouseClick(f.Cmd_com_usb, Qt::LeftButton);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 2);
    EXPECT_EQ(log_lines().last(), "COMM:3 19200b/s.N.8.1...");
    EXPECT_EQ(f.List_1->selected_index(), 1);
}

TEST_F(Port_opening_test, FailuresLogPaintOrangeRedAndShowTheHelpEveryThirdTimeAfterTheFourth) {
    Vimbo_form& f = make_form();
    struct Case {
        const char* port;
        const char* baud;
    };
    // Port 0, empty port, a missing device, a bad rate, garbage, a second missing device...
    port_.devices.remove(device_for_com_port(9));
    const Case cases[] = {{"0", "9600"}, {"", "9600"},    {"9", "9600"}, {"3", "12345"},
                          {"3", ""},     {"abc", "9600"}, {"9", "9600"}, {"9", "2400"},
                          {"0", ""},     {"9", "9600"}};
    int failures = 0;
    for (const Case& c : cases) {
        f.Text_com_number->setText(c.port);
        f.Text_baud_rate->setText(c.baud);
        f.port_opening().Cmd_com_usb_Click();
        ++failures;
        EXPECT_FALSE(f.MSerial.PortOpen());
        EXPECT_EQ(f.Cmd_com_usb->back_color(), QColor(255, 15, 0));
        EXPECT_EQ(f.title(), " SMS CONTROLLER.......");
        // Each failure: the line, and one more that says why.
        EXPECT_EQ(log_lines().size(), 2 * failures);
        EXPECT_EQ(log_lines()[2 * failures - 2], "Invalid COM port number!");
    }
    // The help box at the 4th, 7th and 10th failure.
    ASSERT_EQ(dialogs_.boxes.size(), 3u);
    EXPECT_EQ(dialogs_.boxes[0], Port_opening::help_text());
    EXPECT_EQ(f.state.Open_fail_count, 1);
    // A success does not reset the count: the next failure is the 2nd since the last box.
    open_port(3);
    f.Text_com_number->setText("0");
    f.port_opening().Cmd_com_usb_Click();
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_EQ(dialogs_.boxes.size(), 3u);
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_EQ(dialogs_.boxes.size(), 4u);
}

TEST_F(Port_opening_test, HelpTextReadsExactly) {
#ifndef Q_OS_LINUX
    EXPECT_EQ(Port_opening::help_text(), windows_help_text());
#endif
    EXPECT_EQ(windows_help_text(),
              "Use command [Read infos] and see chapiter; USB Converter.\r\n\r\n"
              "By problem open the Windows Control Panel, go to [System], [Hardware] and select "
              "[Com & Lpt]. \r\n\r\n"
              "Select then the (connected) [USB Serial Port(Com x)] in the listed devices and go "
              "to Tab [Port "
              "Settings]. Choose [Advanced] and change there the USB converter [COM Port Number] "
              "to any free 1 to "
              "16.\r\n\r\n"
              "Unplug the USB converter and plug it again after a few secondes. It should then "
              "automatically be "
              "assigned the choosed Port number. Check by [Hardware], [Com & Lpt].\r\n\r\n"
              "Select the same port in the vimbo program with command [Com/Usb].");
}

TEST_F(Port_opening_test, PortFromSettingsIsUsedOnceWhateverTheOutcome) {
    Vimbo_form& f = make_form();
    Form_state& s = f.state;
    s.Port_from_settings = true;
    s.Com_number = "5";
    s.Baud_rate = "4800";
    f.Text_com_number->setText("2");
    f.Text_baud_rate->setText("9600");
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_EQ(port_.opened_device, device_for_com_port(5));
    EXPECT_EQ(port_.opened_baud, 4800);
    EXPECT_EQ(f.title(), " SMS CONTROLLER.......");  // an opening from the settings keeps it
    EXPECT_FALSE(s.Port_from_settings);
    f.port_opening().Cmd_com_usb_Click();  // now the boxes
    EXPECT_EQ(port_.opened_device, device_for_com_port(2));
    EXPECT_EQ(f.title(), "");

    // A settings file with a port but no rate: the opening fails and clears the flag.
    s.Port_from_settings = true;
    s.Com_number = "7";
    s.Baud_rate = "";
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              QStringList({"Invalid COM port number!",
                           "COM 7: 0 b/s is not a rate the port can use. Type 2400 to 115200 or "
                           "double-click the box."}));
    EXPECT_FALSE(s.Port_from_settings);
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(2));
}

TEST_F(Port_opening_test, BoxHandlersHintsTitlesAndRangeCheck) {
    Vimbo_form& f = make_form();
    f.show();
    QTest::mouseClick(f.Text_com_number, Qt::LeftButton);
    EXPECT_EQ(f.hint(), "Write Com number 1 to 16 and press Enter or [ Com/Usb ].");
    EXPECT_EQ(f.title(), "Click on [Com/usb] or press Enter when finish.");
    QTest::mouseClick(f.Text_baud_rate, Qt::LeftButton);
    EXPECT_EQ(f.hint(), "Write Baud Rate or DBClick. ( 2400 to 115200 ) ");
    EXPECT_EQ(f.title(), "Click on [Com/usb] or Enter when finish.");
    QTest::mouseClick(f.Text_module_Id, Qt::LeftButton);
    EXPECT_EQ(f.hint(), "Enter Type; M35, M10, W218, W228, RQM5, M95,,,");
    EXPECT_EQ(f.title(), "Click on [Com/usb] or press Enter when finish.");

    // Typing 1 then 7 empties the box; every key sets the save reminder.
    f.Text_com_number->clear();
    QTest::keyClicks(f.Text_com_number, "1");
    EXPECT_EQ(f.Text_com_number->text(), "1");
    EXPECT_EQ(f.title(), "Save settings with [Save Set] for later use....");
    QTest::keyClicks(f.Text_com_number, "7");
    EXPECT_EQ(f.Text_com_number->text(), "");
    f.Text_com_number->setText("-2");
    EXPECT_EQ(f.Text_com_number->text(), "");
    f.Text_com_number->setText("abc");
    EXPECT_EQ(f.Text_com_number->text(), "abc");
    f.Text_com_number->setText("16.5");
    EXPECT_EQ(f.Text_com_number->text(), "16.5");

    // Double clicks cycle the rate with a leading blank.
    f.Text_baud_rate->clear();
    QTest::mouseDClick(f.Text_baud_rate, Qt::LeftButton);
    EXPECT_EQ(f.Text_baud_rate->text(), " 0");
    QTest::mouseDClick(f.Text_baud_rate, Qt::LeftButton);
    EXPECT_EQ(f.Text_baud_rate->text(), " 0");
    f.Text_baud_rate->setText("115200");
    QTest::mouseDClick(f.Text_baud_rate, Qt::LeftButton);
    EXPECT_EQ(f.Text_baud_rate->text(), " 2400");
    f.Text_baud_rate->setText("1200");
    QTest::mouseDClick(f.Text_baud_rate, Qt::LeftButton);
    EXPECT_EQ(f.Text_baud_rate->text(), " 1200");
}

TEST_F(Port_opening_test, EnterInAnyOfTheThreeBoxesOpensThePort) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_baud_rate->setText("9600");
    f.Text_com_number->setText("4");
    QTest::keyClick(f.Text_com_number, Qt::Key_Return);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines(), QStringList{"COMM:4 9600b/s.N.8.1..."});
    EXPECT_EQ(f.title(), "Save settings with [Save Set] for later use....");
    QTest::keyClick(f.Text_baud_rate, Qt::Key_Enter);
    EXPECT_EQ(log_lines().size(), 2);
    EXPECT_EQ(f.title(), "");
    QTest::keyClick(f.Text_module_Id, Qt::Key_Return);
    EXPECT_EQ(log_lines().size(), 3);
    QTest::keyClicks(f.Text_module_Id, "M35");
    EXPECT_EQ(log_lines().size(), 3);  // other keys only type
    EXPECT_EQ(f.Text_module_Id->text(), "M35");
}

TEST_F(Port_opening_test, LostDeviceClosesThePortOnceAndPaintsOrangeRed) {
    Vimbo_form& f = make_form();
    open_port(3);
    for (int i = 0; i < 1000; ++i) board().unplug();  // a storm of errors
    clock_.run_pending();
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_FALSE(port_.open);
    EXPECT_EQ(f.Cmd_com_usb->back_color(), QColor(255, 15, 0));
    ASSERT_EQ(log_lines().size(), 2);
    EXPECT_EQ(log_lines().last(), "COMM:3 lost: the device has gone away.");
    // "Com/usb" opens it again once it is back.
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
}
