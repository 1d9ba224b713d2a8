#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "app/port_opening.h"
#include "serial/port_messages.h"
#include "serial/port_names.h"
#include "tests/support/form_fixture.h"

// After "Invalid COM port number!" the log says what COM n stood for and what to do.
class Refusal_lines_test : public Form_test {
  protected:
    // Opens COM n and returns the two lines the failure logged.
    QStringList refused(int n, const QString& baud = "9600") {
        form().Text_com_number->setText(QString::number(n));
        form().Text_baud_rate->setText(baud);
        const auto before = log_lines().size();
        form().port_opening().Cmd_com_usb_Click();
        EXPECT_FALSE(form().MSerial.PortOpen());
        return log_lines().mid(before);
    }
    // A device file behind COM n's link in the working folder.
    QString linked_device(int n, const QString& name) {
        QFile device(path(name));
        EXPECT_TRUE(device.open(QIODevice::WriteOnly));
        EXPECT_TRUE(QFile::link(device.fileName(), path(QStringLiteral("com%1").arg(n))));
        const QString real = QFileInfo(device.fileName()).canonicalFilePath();
        port_.devices.insert(real);
        return real;
    }
};

TEST_F(Refusal_lines_test, EachRefusalNamesTheDeviceAndWhatToDo) {
    make_form();
    const QString invalid = "Invalid COM port number!";

    // No such device: the built-in port COM 5 stands for is not there.
    port_.devices.remove("/dev/ttyS4");
    EXPECT_EQ(refused(5), QStringList({invalid,
                                       "COM 5 = /dev/ttyS4: no such device. Right-click "
                                       "[Com/usb] to choose the converter."}));

    // A link to an unplugged converter: the link and where it points.
    ASSERT_TRUE(QFile::link(path("by-id/usb-FTDI_FT232R_A1-if00-port0"), path("com2")));
    EXPECT_EQ(
        refused(2),
        QStringList({invalid, "COM 2 = com2 -> " + path("by-id/usb-FTDI_FT232R_A1-if00-port0") +
                                  ": not plugged in. Right-click [Com/usb] to choose "
                                  "the converter."}));

    // Permission denied: the group that owns the device.
    const QString usb = linked_device(1, "ttyUSB0");
    const QString group = QFileInfo(usb).group();
    ASSERT_FALSE(group.isEmpty());
    port_.refusal = {Open_error::Kind::permission, "Permission denied"};
    EXPECT_EQ(refused(1),
              QStringList({invalid, "COM 1 = " + usb +
                                        ": permission denied, the device belongs to "
                                        "the group " +
                                        group + ": add your user to the group " + group +
                                        " (sudo adduser $USER " + group + ") and log in again."}));

    // Busy: the program that holds the device open, found among the open files of the
    // machine's processes (here this test itself).
    QFile holder(usb);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    QFile comm("/proc/self/comm");
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    const QString self = QString::fromLocal8Bit(comm.readAll()).trimmed();
    port_.refusal = {Open_error::Kind::busy, "Permission error while locking the device"};
    EXPECT_EQ(refused(1)[1], QStringLiteral("COM 1 = %1: in use by %2 (pid %3). Close it and "
                                            "click [Com/usb] again.")
                                 .arg(usb, self)
                                 .arg(QCoreApplication::applicationPid()));
    holder.close();
    EXPECT_EQ(refused(1)[1], "COM 1 = " + usb +
                                 ": in use by another program. Close it and click [Com/usb] "
                                 "again.");

    // Anything else: the system's own words.
    port_.refusal = {Open_error::Kind::other, "Input/output error"};
    EXPECT_EQ(refused(1)[1], "COM 1 = " + usb + ": Input/output error.");
    port_.refusal = {};

    // Refused before any device is tried: the number, then the rate.
    EXPECT_EQ(refused(0)[1],
              "COM 0: there is no such port. Type a number 1 to 16, or "
              "right-click [Com/usb] to choose the converter.");
    EXPECT_EQ(refused(3, "12345")[1],
              "COM 3: 12345 b/s is not a rate the port can use. Type 2400 to 115200 or "
              "double-click the box.");
    // The number box rejects 20, a settings file may not: the rate comes first, as in the
    // opening itself.
    form().state.Port_from_settings = true;
    form().state.Com_number = "20";
    form().state.Baud_rate = "0";
    form().port_opening().Cmd_com_usb_Click();
    EXPECT_EQ(log_lines().last(),
              "COM 20: 0 b/s is not a rate the port can use. Type 2400 to 115200 or "
              "double-click the box.");

    // Every failure is still one "Invalid COM port number!" with one line after it, and the
    // button is orange-red.
    EXPECT_EQ(log_lines().filter(invalid).size(), 9);
    EXPECT_EQ(log_lines().size(), 18);
    EXPECT_EQ(form().Cmd_com_usb->back_color(), QColor(255, 15, 0));
}

TEST_F(Refusal_lines_test, TheHelpBoxGivesTheStepsOfThisSystem) {
    make_form();
    port_.devices.clear();
    for (int i = 0; i < 4; ++i) refused(3);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
#ifdef Q_OS_LINUX
    EXPECT_EQ(dialogs_.boxes[0], linux_help_text());
    EXPECT_EQ(linux_help_text(),
              "Use command [Read infos] and see chapiter; USB Converter.\r\n\r\n"
              "Right-click [Com/usb] to see the serial ports of this computer. Pick the USB "
              "converter: VIMBO links it to a COM number 1 to 16 in the working folder and opens "
              "it.\r\n\r\n"
              "By hand: the names under /dev/serial/by-id/ stay the same for the same converter. "
              "Link one to a COM number in the working folder, for example ln -sfn "
              "/dev/serial/by-id/usb-...-port0 com1\r\n\r\n"
              "Serial devices belong to the group dialout: add your user to it (sudo adduser "
              "$USER dialout) and log in again.\r\n\r\n"
              "Select the same port in the vimbo program with command [Com/Usb].");
#else
    EXPECT_EQ(dialogs_.boxes[0], windows_help_text());
#endif
    // The box comes before the failure's two lines, as before.
    EXPECT_EQ(log_lines().size(), 8);
}
