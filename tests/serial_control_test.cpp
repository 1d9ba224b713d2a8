#include "serial/serial_control.h"
#include "serial/failures.h"
#include "serial/port_names.h"
#include "tests/support/fake_port.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class Serial_control_test : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 1; n <= 16; ++n) shared.devices.insert(device_for_com_port(n));
    }
    Virtual_clock clock;
    Fake_port::Shared shared;
    Serial_control serial{clock, std::make_unique<Fake_port>(clock, shared)};
};

TEST_F(Serial_control_test, SettingsAndPortNumberAreCheckedBeforeOpening) {
    EXPECT_NO_THROW(serial.set_Settings("9600,N,8,1"));
    EXPECT_NO_THROW(serial.set_Settings("115200,n,8,1"));
    EXPECT_NO_THROW(serial.set_Settings("2400,N,8,1"));
    for (const char* bad :
         {",N,8,1", "0,N,8,1", "12345,N,8,1", "9600,E,8,1", "9600,N,7,1", "9600", "-9600,N,8,1"}) {
        EXPECT_THROW(serial.set_Settings(bad), Runtime_failure) << bad;
    }
    EXPECT_EQ(serial.Settings(), "2400,N,8,1");
    EXPECT_THROW(serial.set_CommPort(0), Runtime_failure);
    EXPECT_THROW(serial.set_CommPort(17), Runtime_failure);
    serial.set_CommPort(16);
    serial.set_PortOpen(true);
    EXPECT_EQ(shared.opened_device, device_for_com_port(16));
    EXPECT_EQ(shared.opened_baud, 2400);
    EXPECT_THROW(serial.set_PortOpen(true), Runtime_failure);  // already open
    EXPECT_THROW(serial.set_CommPort(3), Runtime_failure);     // not on an open port
}

TEST_F(Serial_control_test, OutputIsOneBytePerCharacterAndFailsOnAClosedPort) {
    EXPECT_THROW(serial.Output("AT\r"), Runtime_failure);
    EXPECT_THROW(serial.Input(), Runtime_failure);
    serial.set_PortOpen(true);
    serial.Output(QString::fromLatin1("A\x00\xB3\xff\r", 5));
    serial.Output(QString(QChar(0x20AC)));  // outside 8 bits
    ASSERT_EQ(shared.writes.size(), 2u);
    EXPECT_EQ(shared.writes[0].bytes, QByteArray("A\x00\xB3\xff\r", 5));
    EXPECT_EQ(shared.writes[1].bytes, QByteArray("?"));
    shared.fail_writes = true;
    EXPECT_THROW(serial.Output("x"), Runtime_failure);
}

TEST_F(Serial_control_test, OneNotificationPerWaitingCharacterUntilTheBufferIsEmpty) {
    serial.set_PortOpen(true);
    QString received;
    int notifications = 0;
    serial.OnComm = [&] {
        ++notifications;
        received += serial.Input();
    };
    shared.port->deliver(QByteArray("ab\xE9", 3));
    clock.run_pending();
    EXPECT_EQ(notifications, 3);
    EXPECT_EQ(received, QString::fromLatin1("ab\xE9"));
    EXPECT_EQ(serial.Input(), "");
    // A handler that reads nothing is notified again for as long as characters wait.
    int lazy_calls = 0;
    serial.OnComm = [&] {
        if (++lazy_calls % 3 == 0) serial.Input();
    };
    shared.port->deliver("z");
    clock.run_pending();
    EXPECT_EQ(lazy_calls, 3);
    // Runs end after each completed line: the rest follows as later events.
    serial.OnComm = [&] { received += serial.Input(); };
    serial.EndOfRun = [&] { return received.endsWith('\r'); };
    received.clear();
    shared.port->deliver("one\rtwo\r");
    EXPECT_EQ(received, "one\r");
    clock.run_pending();
    EXPECT_EQ(received, "one\rtwo\r");
    // Closing drops what waits and stops the notifications.
    serial.EndOfRun = [] { return true; };
    shared.port->deliver("qqq");
    EXPECT_EQ(received, "one\rtwo\rq");
    serial.set_PortOpen(false);
    clock.run_pending();
    EXPECT_EQ(received, "one\rtwo\rq");
    EXPECT_EQ(serial.InBufferCount(), 0);
}

TEST(Port_names, ComLinkInTheCurrentFolderWinsOverTheSerialDevices) {
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(device_for_com_port(1), "/dev/ttyS0");
    EXPECT_EQ(device_for_com_port(16), "/dev/ttyS15");
    QFile target(dir.filePath("fake_tty"));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(target.fileName(), dir.filePath("com3")));
    EXPECT_EQ(device_for_com_port(3), QFileInfo(target.fileName()).canonicalFilePath());
    // A dangling link is an unplugged converter: opening it fails, rather than opening the
    // unrelated built-in port.
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dir.filePath("com4")));
    EXPECT_EQ(device_for_com_port(4), dir.filePath("com4"));
    EXPECT_TRUE(com_port_link_present(4));
    EXPECT_FALSE(com_port_link_present(5));
    QDir::setCurrent(old);
}
