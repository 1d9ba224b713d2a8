#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "app/control_table.h"
#include "app/port_opening.h"
#include "serial/port_names.h"
#include "tests/support/form_fixture.h"

// The device of an open port goes away and comes back: the window opens it again by
// itself, with the same settings, and tells so in the log. It never sends a byte for it.
class Port_return_test : public Form_test {
  protected:
    // Unplugs COM n: the device is gone and the open port reports the loss.
    void unplug(int n) {
        port_.devices.remove(device_for_com_port(n));
        board().unplug();
        clock_.run_pending();
    }
    void plug(int n) { port_.devices.insert(device_for_com_port(n)); }
};

TEST_F(Port_return_test, TheSameDeviceIsReopenedWithTheSameSettingsWithinASecond) {
    Vimbo_form& f = make_form();
    open_port(3, 19200);
    take_written();
    const std::int64_t lost_at = clock_.now_ms();
    unplug(3);
    ASSERT_FALSE(f.MSerial.PortOpen());
    ASSERT_EQ(log_lines().last(), "COMM:3 lost: the device has gone away.");

    // Minutes without the device: no reopening, no log lines, nothing sent.
    clock_.advance(120'000);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 1);
    EXPECT_EQ(log_lines().size(), 2);

    // It comes back half-way through a watch interval: open at the next look, not before.
    clock_.advance(500);
    plug(3);
    const std::int64_t next_look = lost_at + 121'000;
    clock_.advance(next_look - clock_.now_ms() - 1);
    EXPECT_FALSE(f.MSerial.PortOpen());
    clock_.advance(1);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 2);
    EXPECT_EQ(port_.opened_device, device_for_com_port(3));
    EXPECT_EQ(port_.opened_baud, 19200);
    EXPECT_EQ(log_lines().last(), "COMM:3 is back: open again at 19200b/s.N.8.1...");
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    EXPECT_EQ(take_written(), QByteArray());

    // Open again, the port receives as before, and the watch is over.
    board().deliver("OK\r");
    clock_.run_pending();
    EXPECT_EQ(log_lines().last(), "OK");
    clock_.advance(10'000);
    EXPECT_EQ(port_.open_count, 2);

    // A second loss is watched like the first.
    unplug(3);
    plug(3);
    clock_.advance(Serial_control::kReturnWatchMs);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines().filter("is back").size(), 2);
}

TEST_F(Port_return_test, TheUserTakesOverFromTheWatch) {
    Vimbo_form& f = make_form();
    open_port(3);
    unplug(3);
    // The user opens another port meanwhile: COM 3 coming back changes nothing.
    open_port(5);
    plug(3);
    clock_.advance(5'000);
    EXPECT_EQ(port_.opened_device, device_for_com_port(5));
    EXPECT_EQ(log_lines().filter("is back").size(), 0);

    // A failed manual opening ends the watch too: the user saw the failure and decides.
    unplug(5);
    port_.devices.clear();
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_EQ(log_lines()[log_lines().size() - 2], "Invalid COM port number!");
    plug(5);
    clock_.advance(5'000);
    EXPECT_FALSE(f.MSerial.PortOpen());

    // A device that is there but refuses the opening is tried again at each look.
    open_port(5);
    unplug(5);
    plug(5);
    port_.devices.remove(device_for_com_port(5));
    clock_.advance(3'000);
    EXPECT_FALSE(f.MSerial.PortOpen());
    plug(5);
    clock_.advance(Serial_control::kReturnWatchMs);
    EXPECT_TRUE(f.MSerial.PortOpen());
}

TEST_F(Port_return_test, AConverterBehindAComLinkComesBackOnlyThroughTheLink) {
    QFile device(path("ttyUSB0"));
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    device.close();
    ASSERT_TRUE(QFile::link(device.fileName(), path("com2")));
    const QString usb = device_for_com_port(2);
    port_.devices.insert(usb);
    Vimbo_form& f = make_form();
    open_port(2);
    ASSERT_EQ(port_.opened_device, usb);

    // Unplugged: the link dangles and still names the converter, never the built-in
    // port behind COM 2.
    ASSERT_TRUE(QFile::remove(usb));
    port_.devices.remove(usb);
    board().unplug();
    clock_.run_pending();
    EXPECT_EQ(device_for_com_port(2), path("com2"));
    EXPECT_TRUE(port_.devices.contains("/dev/ttyS1"));
    clock_.advance(5'000);
    EXPECT_FALSE(f.MSerial.PortOpen());

    // The link gone as well: still no built-in port.
    ASSERT_TRUE(QFile::remove(path("com2")));
    clock_.advance(5'000);
    EXPECT_FALSE(f.MSerial.PortOpen());

    // The converter and its link back: reopened through the link.
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    device.close();
    ASSERT_TRUE(QFile::link(device.fileName(), path("com2")));
    port_.devices.insert(usb);
    clock_.advance(Serial_control::kReturnWatchMs);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, usb);
    EXPECT_EQ(log_lines().last(), "COMM:2 is back: open again at 9600b/s.N.8.1...");
}

TEST_F(Port_return_test, AConverterIsFollowedByItsSerialNumberAndNeverTakenForItsTwin) {
    auto device = [&](const QString& name) {
        write_file(name, "");
        const QString real = QFileInfo(path(name)).canonicalFilePath();
        port_.devices.insert(real);
        return real;
    };
    auto converter = [](const QString& dev, const QString& serial) {
        return Port_info{dev, "FT232R USB UART", "FTDI", "0403:6001", serial, ""};
    };
    // Two identical converters; COM 1 is a link to the device name of the first.
    const QString usb0 = device("ttyUSB0");
    const QString usb1 = device("ttyUSB1");
    port_list_.list = {converter(usb0, "A1"), converter(usb1, "B2")};
    ASSERT_TRUE(QFile::link(usb0, path("com1")));
    Vimbo_form& f = make_form();
    open_port(1, 38400);
    ASSERT_EQ(port_.opened_device, usb0);
    take_written();

    // Both unplugged.
    port_list_.list.clear();
    port_.devices.clear();
    ASSERT_TRUE(QFile::remove(usb0) && QFile::remove(usb1));
    board().unplug();
    clock_.run_pending();
    ASSERT_FALSE(f.MSerial.PortOpen());

    // The twin comes back first, under the old name: the link leads to it, yet it is not
    // the converter that was lost.
    device("ttyUSB0");
    port_list_.list = {converter(usb0, "B2")};
    clock_.advance(5'000);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 1);

    // The lost one comes back under a new name: followed there, same settings, nothing sent.
    const QString usb2 = device("ttyUSB2");
    port_list_.list.push_back(converter(usb2, "A1"));
    clock_.advance(Serial_control::kReturnWatchMs);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, usb2);
    EXPECT_EQ(port_.opened_baud, 38400);
    EXPECT_EQ(log_lines().last(),
              "COMM:1 is back: " + usb2 + " (serial A1), open again at 38400b/s.N.8.1...");
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    EXPECT_EQ(take_written(), QByteArray());

    // Lost again and back under that same name: said as before.
    port_.devices.remove(usb2);
    board().unplug();
    clock_.run_pending();
    port_.devices.insert(usb2);
    clock_.advance(Serial_control::kReturnWatchMs);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines().last(), "COMM:1 is back: open again at 38400b/s.N.8.1...");
    EXPECT_EQ(port_.open_count, 3);
}
