#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/port_chooser.h"
#include "app/port_choosing.h"
#include "serial/com_links.h"
#include "tests/support/form_fixture.h"

// A right click on "Com/usb" lists the serial ports; a pick links one to a COM number and
// opens it. The machine here: two identical converters that differ only in serial number,
// a built-in port, and comN entries in the working folder.
class Port_chooser_test : public Form_test {
  protected:
    void SetUp() override {
        Form_test::SetUp();
        QDir().mkpath(path("by-id"));
        a_ = converter("ttyUSB0", "A1");
        b_ = converter("ttyUSB1", "B2");
        port_list_.list = {a_, b_, {"/dev/ttyS0", "ttyS0", "", "", "", ""}};
        write_file("pts7", "");
        ASSERT_TRUE(QFile::link(a_.stable_name, path("com1")));
        ASSERT_TRUE(QFile::link(path("pts7"), path("com3")));
        ASSERT_TRUE(QFile::link(path("ttyUSB9"), path("com4")));  // unplugged
        write_file("com6", "not a link");
    }
    Port_info converter(const QString& device, const QString& serial) {
        write_file(device, "");
        const QString real = QFileInfo(path(device)).canonicalFilePath();
        const QString stable = path("by-id/usb-FTDI_FT232R_USB_UART_" + serial + "-if00-port0");
        EXPECT_TRUE(QFile::link(real, stable));
        port_.devices.insert(real);
        return {real, "FT232R USB UART", "FTDI", "0403:6001", serial, stable};
    }
    Port_chooser& right_click() {
        QTest::mouseClick(form().Cmd_com_usb, Qt::RightButton);
        Port_chooser* chooser = form().port_choosing().chooser();
        EXPECT_NE(chooser, nullptr);
        return *chooser;
    }
    QStringList row(int r) const {
        QStringList texts;
        const QTableWidget* table = form_chooser()->table();
        for (int c = 0; c < table->columnCount(); ++c) texts << table->item(r, c)->text();
        return texts;
    }
    Port_chooser* form_chooser() const {
        return const_cast<Port_chooser_test*>(this)->form().port_choosing().chooser();
    }
    // Picks row r with COM number n, as a user does: select, choose the number, [Use].
    void pick(int r, int n) {
        Port_chooser& c = *form_chooser();
        c.select_row(r);
        c.set_com_number(n);
        QTest::mouseClick(c.use_button(), Qt::LeftButton);
    }
    QString real(const QString& name) const { return QFileInfo(path(name)).canonicalFilePath(); }

    Port_info a_, b_;
};

TEST_F(Port_chooser_test, RightClickListsEveryPortAndFollowsPluggingWhileShown) {
    Vimbo_form& f = make_form();
    // The left click keeps its behaviour and opens no chooser.
    QTest::mouseClick(f.Cmd_com_usb, Qt::LeftButton);
    EXPECT_EQ(f.port_choosing().chooser(), nullptr);
    EXPECT_EQ(log_lines().first(), "Invalid COM port number!");
    const auto logged = log_lines().size();
    EXPECT_TRUE(f.Cmd_com_usb->toolTip().contains("Right click: choose the USB converter"));

    Port_chooser& c = right_click();
    EXPECT_TRUE(c.isVisible());
    EXPECT_EQ(log_lines().size(), logged);  // nothing opened, nothing logged
    EXPECT_EQ(port_.open_count, 0);
    ASSERT_EQ(c.table()->rowCount(), 6);
    EXPECT_EQ(row(0), QStringList({"1", a_.device, "FT232R USB UART", "FTDI", "0403:6001", "A1",
                                   a_.stable_name, ""}));
    EXPECT_EQ(row(1), QStringList({"", b_.device, "FT232R USB UART", "FTDI", "0403:6001", "B2",
                                   b_.stable_name, ""}));
    EXPECT_EQ(row(2), QStringList({"", "/dev/ttyS0", "ttyS0", "", "", "", "", ""}));
    EXPECT_EQ(row(3), QStringList({"3", real("pts7"), "", "", "", "", "", ""}));
    EXPECT_EQ(row(4), QStringList({"4", path("ttyUSB9"), "not plugged in", "", "", "", "", ""}));
    EXPECT_EQ(row(5),
              QStringList({"6", real("com6"), "a file in the working folder", "", "", "", "", ""}));
    // An empty box: the first COM number with no comN in the folder.
    EXPECT_EQ(c.com_number(), 2);

    // B unplugged: gone at the next look, a second after the last, not before. The selected
    // converter stays selected.
    c.select_row(0);
    clock_.advance(10);
    port_list_.list.erase(port_list_.list.begin() + 1);
    clock_.advance(Port_choosing::kRefreshMs - 11);
    EXPECT_EQ(c.table()->rowCount(), 6);
    clock_.advance(1);
    EXPECT_EQ(c.table()->rowCount(), 5);
    EXPECT_EQ(c.selected_row(), 0);

    // Forty converters at once.
    for (int i = 0; i < 40; ++i) {
        port_list_.list.push_back({QString("/dev/ttyUSB%1").arg(10 + i), "CP2102", "Silicon Labs",
                                   "10c4:ea60", QString("S%1").arg(i), ""});
    }
    clock_.advance(Port_choosing::kRefreshMs);
    EXPECT_EQ(c.table()->rowCount(), 45);
    EXPECT_EQ(row(4)[1], "/dev/ttyUSB12");

    // Closed: no more looks at the ports.
    c.hide();
    const int calls = port_list_.calls;
    clock_.advance(10 * Port_choosing::kRefreshMs);
    EXPECT_EQ(port_list_.calls, calls);
    EXPECT_EQ(clock_.timers_enabled(), 0);

    // Opened again with a number in the box: that number; the port this window has open is
    // "in use here".
    f.Text_baud_rate->setText("9600");
    open_port(1);
    Port_chooser& again = right_click();
    EXPECT_EQ(&again, &c);
    EXPECT_EQ(again.com_number(), 1);
    EXPECT_EQ(row(0)[7], "in use here");
}

TEST_F(Port_chooser_test, APickLinksTheComNumberPutsItInTheBoxAndOpensThePort) {
    Vimbo_form& f = make_form();
    f.Text_baud_rate->setText("19200");
    right_click();
    pick(1, 2);
    const QFileInfo com2(path("com2"));
    ASSERT_TRUE(com2.isSymLink());
    EXPECT_EQ(com2.symLinkTarget(), b_.stable_name);  // the stable name, not ttyUSB1
    EXPECT_EQ(f.Text_com_number->text(), "2");
    ASSERT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, b_.device);
    EXPECT_EQ(port_.opened_baud, 19200);
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              QStringList({"COM 2 = com2 -> " + b_.stable_name, "COMM:2 19200b/s.N.8.1..."}));
    EXPECT_FALSE(form_chooser()->isVisible());
    EXPECT_EQ(take_written(), QByteArray());

    // "Save Set," keeps the number in its three-line file.
    QTest::mouseClick(f.Cmd_save_settings, Qt::LeftButton);
    EXPECT_TRUE(read_file("vimbo.set").startsWith("2    Last selected CommPort Number.\r\n"));

    // Another pick for COM 2 replaces that older link.
    right_click();
    pick(0, 2);
    EXPECT_EQ(QFileInfo(path("com2")).symLinkTarget(), a_.stable_name);
    EXPECT_EQ(port_.opened_device, a_.device);
    EXPECT_EQ(port_.open_count, 3);  // the pick, the save's reopening, this pick
}

TEST_F(Port_chooser_test, BadPicksSayWhyAndChangeNothing) {
    Vimbo_form& f = make_form();
    f.Text_baud_rate->setText("9600");
    Port_chooser& c = right_click();
    auto expect_refused = [&](const QString& line) {
        EXPECT_EQ(log_lines().last(), line);
        EXPECT_EQ(c.message(), line);
        EXPECT_TRUE(c.isVisible());
        EXPECT_FALSE(f.MSerial.PortOpen());
        EXPECT_EQ(f.Text_com_number->text(), "");
    };

    c.select_row(-1);
    QTest::mouseClick(c.use_button(), Qt::LeftButton);
    expect_refused("Pick a port in the list first.");

    // com6 is somebody's file.
    pick(1, 6);
    expect_refused(path("com6") +
                   " is a file, not a link: left as it is. Choose another COM "
                   "number or move the file away.");
    EXPECT_EQ(read_file("com6"), "not a link");

    // The row of an unplugged converter's link.
    pick(4, 5);
    expect_refused(path("ttyUSB9") + " is not plugged in: nothing changed.");

    // The device went away between the listing and the pick.
    ASSERT_TRUE(QFile::remove(b_.stable_name));
    ASSERT_TRUE(QFile::remove(b_.device));
    pick(1, 5);
    expect_refused(b_.stable_name + " is gone (unplugged?). com5 not changed.");
    EXPECT_FALSE(QFileInfo(path("com5")).isSymLink());

    // A stable name that points nowhere.
    ASSERT_TRUE(QFile::remove(a_.device));
    pick(0, 5);
    expect_refused(a_.stable_name + " points nowhere: the converter has gone. com5 not changed.");
    EXPECT_FALSE(QFileInfo(path("com5")).isSymLink());
    EXPECT_EQ(QFileInfo(path("com1")).symLinkTarget(), a_.stable_name);
    EXPECT_EQ(port_.open_count, 0);
}

TEST_F(Port_chooser_test, LinkMakingKeepsToTheWorkingFolderAndItsOwnLinks) {
    const QDir here(QDir::currentPath());
    // A folder that is not there (or not writable) gets no link.
    EXPECT_EQ(make_com_link(QDir(path("gone")), 5, a_.device),
              "The working folder " + path("gone") + " is not writable: com5 not made.");
    EXPECT_EQ(make_com_link(here, 17, a_.device), "COM 17: choose a number 1 to 16.");
    EXPECT_EQ(make_com_link(here, 0, a_.device), "COM 0: choose a number 1 to 16.");
    // A link to the same target already: nothing to do.
    EXPECT_EQ(make_com_link(here, 1, a_.stable_name), "");
    EXPECT_EQ(QFileInfo(path("com1")).symLinkTarget(), a_.stable_name);
    // A dangling older link is replaced.
    EXPECT_EQ(make_com_link(here, 4, b_.device), "");
    EXPECT_EQ(QFileInfo(path("com4")).symLinkTarget(), b_.device);

    EXPECT_EQ(default_com_number(" 7 ", com_links(here)), 7);
    EXPECT_EQ(default_com_number("17", com_links(here)), 2);
    for (int n = 1; n <= 16; ++n) make_com_link(here, n, a_.device);
    EXPECT_EQ(default_com_number("", com_links(here)), 1);  // com6 stays a file
    EXPECT_EQ(read_file("com6"), "not a link");

    EXPECT_EQ(windows_com_number("COM7"), 7);
    EXPECT_EQ(windows_com_number("com12"), 12);
    EXPECT_EQ(windows_com_number("COM"), 0);
    EXPECT_EQ(windows_com_number("/dev/ttyS0"), 0);
}
