#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/port_chooser.h"
#include "app/port_choosing.h"
#include "tests/support/fake_port_list.h"
#include "tests/support/pty_fixture.h"

// The chooser and the follow of a converter with the real QSerialPort; the simulator's
// pseudo-terminal stands in for a USB converter with a serial number. Its device names are
// links in the working folder, as udev's names are: ttyUSB0 now, ttyUSB1 after a replug.
class Port_chooser_pty_test : public Pty_test {
  protected:
    // Names the terminal at path as a converter with this serial number.
    Port_info converter(const QString& name, const QString& terminal, const QString& serial,
                        const QString& stable = {}) {
        QFile::remove(path(name));
        EXPECT_TRUE(QFile::link(terminal, path(name)));
        return {path(name), "FT232R USB UART", "FTDI", "0403:6001", serial, stable};
    }
    // The terminal of the simulator's last READY line (a replug makes a new one).
    QString terminal() const {
        const QStringList ready = sim_.lines().filter(QRegularExpression("^READY "));
        return ready.isEmpty() ? QString() : ready.last().mid(6);
    }
    Fake_port_list ports_;
};

TEST_F(Port_chooser_pty_test, APickedConverterIsLinkedOpenedHeardAndFollowedAfterAReplug) {
    ASSERT_TRUE(start_sim(3));
    const QString stable = path("usb-FTDI_FT232R_USB_UART_SIM1-if00-port0");
    ASSERT_TRUE(QFile::link(path("ttyUSB0"), stable));
    ports_.list = {converter("ttyUSB0", sim_.slave_path(), "SIM1", stable)};
    port_list_ = &ports_;
    Vimbo_form& f = make_form();
    f.Text_baud_rate->setText("115200");

    QTest::mouseClick(f.Cmd_com_usb, Qt::RightButton);
    Port_chooser* c = f.port_choosing().chooser();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->rows().size(), 1u);
    EXPECT_EQ(c->rows()[0].com_numbers, QList<int>{3});  // the simulator's own com3
    c->select_row(0);
    c->set_com_number(7);
    QTest::mouseClick(c->use_button(), Qt::LeftButton);

    EXPECT_EQ(QFileInfo(path("com7")).symLinkTarget(), stable);
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(f.Text_com_number->text(), "7");
    EXPECT_EQ(log_lines().last(), "COMM:7 115200b/s.N.8.1...");
    ASSERT_TRUE(sim_.command("send hello through com7"));
    ASSERT_TRUE(run_until([&] { return log_lines().last() == "hello through com7"; }));

    // Unplugged. An identical converter gets the old name: com7 leads to a terminal that is
    // there, yet it is not the lost converter and is left alone.
    ASSERT_TRUE(sim_.command("unplug"));
    ASSERT_TRUE(run_until([&] { return !f.MSerial.PortOpen(); }));
    struct Terminal {
        int fd = posix_openpt(O_RDWR | O_NOCTTY);
        ~Terminal() {
            if (fd >= 0) close(fd);
        }
    } twin;
    ASSERT_GE(twin.fd, 0);
    ASSERT_EQ(grantpt(twin.fd) | unlockpt(twin.fd), 0);
    ports_.list = {converter("ttyUSB0", QString::fromLatin1(ptsname(twin.fd)), "TWIN2", stable)};
    ASSERT_TRUE(QFileInfo::exists(path("com7")));
    run_until([] { return false; }, 2500);  // two looks of the watch
    EXPECT_FALSE(f.MSerial.PortOpen());

    // Plugged in again: a new terminal under a new name, found by its serial number.
    ASSERT_TRUE(sim_.command("replug"));
    ASSERT_NE(terminal(), sim_.slave_path());
    ports_.list.push_back(converter("ttyUSB1", terminal(), "SIM1"));
    ASSERT_TRUE(run_until([&] { return f.MSerial.PortOpen(); }));
    EXPECT_EQ(log_lines().last(), "COMM:7 is back: " + path("ttyUSB1") +
                                      " (serial SIM1), open again at 115200b/s.N.8.1...");
    ASSERT_TRUE(sim_.command("send back again"));
    ASSERT_TRUE(run_until([&] { return log_lines().last() == "back again"; }));
}
