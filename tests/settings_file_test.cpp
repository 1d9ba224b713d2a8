#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>

#include "app/control_table.h"
#include "app/settings_file.h"
#include "serial/port_names.h"
#include "tests/support/form_fixture.h"

namespace {

const QByteArray k3_9600_M35 =
    "3    Last selected CommPort Number.\r\n"
    "9600    Last selected Baud Rate.\r\n"
    "M35    Last selected GSM Engine.\r\n";

// New files in this process cannot grow past limit bytes while this lives, as on a full
// disk; the signal that would end the process is ignored, so the write just fails.
class File_size_limit {
  public:
    explicit File_size_limit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit now = old_;
        now.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~File_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

  private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

// The folder without write permission while this lives.
class Read_only_folder {
  public:
    explicit Read_only_folder(QString dir) : dir_(std::move(dir)) {
        QFile::setPermissions(dir_, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~Read_only_folder() {
        QFile::setPermissions(dir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

  private:
    QString dir_;
};

}  // namespace

class Settings_file_test : public Form_test {
  protected:
    void type_settings(const QString& port, const QString& baud, const QString& engine) {
        form().Text_com_number->setText(port);
        form().Text_baud_rate->setText(baud);
        form().Text_module_Id->setText(engine);
    }
    void save() { QTest::mouseClick(form().Cmd_save_settings, Qt::LeftButton); }
    // What is in the working folder besides the session record's folder.
    QStringList folder() const {
        QStringList names =
            QDir(path(".")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.removeOne(QStringLiteral("logs"));
        return names;
    }
    void expect_boxes(const QString& port, const QString& baud, const QString& engine) {
        EXPECT_EQ(form().Text_com_number->text(), port);
        EXPECT_EQ(form().Text_baud_rate->text(), baud);
        EXPECT_EQ(form().Text_module_Id->text(), engine);
    }
};

TEST_F(Settings_file_test, SaveThenRestartRoundTripsAndOpensThePortFromTheFile) {
    Vimbo_form& f = make_form();
    type_settings("3", "9600", "M35");
    save();
    EXPECT_EQ(read_file("vimbo.set"), k3_9600_M35);
    EXPECT_EQ(folder(), QStringList{"vimbo.set"});  // nothing left beside it
    EXPECT_TRUE(dialogs_.boxes.empty());
    // The save reopens the port from the boxes.
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(3));
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 9600b/s.N.8.1..."});
    EXPECT_EQ(f.title(), "");
    EXPECT_EQ(f.state.Com_number, "3");
    EXPECT_EQ(f.state.Module_id, "M35");

    // Restart in the same folder: the boxes are filled and the port opens at once.
    port_.opened_device.clear();
    port_.opened_baud = 0;
    Vimbo_form& g = make_form();
    EXPECT_EQ(port_.open_count, 2);
    EXPECT_TRUE(g.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(3));
    EXPECT_EQ(port_.opened_baud, 9600);
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 9600b/s.N.8.1..."});
    EXPECT_EQ(g.title(), " SMS CONTROLLER.......");
    EXPECT_TRUE(g.Cmd_com_usb->has_normal_face());
    expect_boxes("3", "9600", "M35");
    EXPECT_EQ(g.state.Com_number, "3");
    EXPECT_EQ(g.state.Baud_rate, "9600");
    EXPECT_EQ(g.state.Module_id, "M35");
    EXPECT_FALSE(g.state.Port_from_settings);
    EXPECT_EQ(g.files.count(), 0u);                  // the settings file is closed again
    EXPECT_EQ(read_file("vimbo.set"), k3_9600_M35);  // reading changed nothing

    // Saving the same boxes again gives the same bytes.
    save();
    EXPECT_EQ(read_file("vimbo.set"), k3_9600_M35);
    EXPECT_EQ(port_.open_count, 3);
}

TEST_F(Settings_file_test, EngineIdIsSavedAsTypedAndReadBackAsFourCharacters) {
    make_form();
    type_settings(" 4 ", " 19200 ", "MC39i");
    save();
    EXPECT_EQ(read_file("vimbo.set"), QByteArray("4    Last selected CommPort Number.\r\n"
                                                 "19200    Last selected Baud Rate.\r\n"
                                                 "MC39i    Last selected GSM Engine.\r\n"));
    Vimbo_form& g = make_form();
    expect_boxes("4", "19200", "MC39");
    EXPECT_EQ(g.state.Module_id, "MC39");
    EXPECT_EQ(port_.opened_device, device_for_com_port(4));
    EXPECT_EQ(port_.opened_baud, 19200);

    // A leading blank is saved too; the four characters are cut before the trim.
    type_settings("4", "19200", "  W218");
    save();
    EXPECT_TRUE(read_file("vimbo.set").endsWith("\r\n  W218    Last selected GSM Engine.\r\n"));
    make_form();
    expect_boxes("4", "19200", "W2");
}

TEST_F(Settings_file_test, EmptyPortLineOpensNothingAtTheNextStart) {
    Vimbo_form& f = make_form();
    type_settings("", "9600", "M35");
    save();
    EXPECT_EQ(read_file("vimbo.set"), QByteArray("    Last selected CommPort Number.\r\n"
                                                 "9600    Last selected Baud Rate.\r\n"
                                                 "M35    Last selected GSM Engine.\r\n"));
    // The save still runs the opening, which fails on the empty port box.
    EXPECT_EQ(log_lines(), QStringList({"Invalid COM port number!",
                                        "COM 0: there is no such port. Type a number 1 to 16, or "
                                        "right-click [Com/usb] to choose the converter."}));
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_TRUE(dialogs_.boxes.empty());

    Vimbo_form& g = make_form();
    expect_boxes("", "9600", "M35");
    EXPECT_EQ(g.state.Com_number, "0");
    EXPECT_FALSE(g.state.Port_from_settings);
    EXPECT_FALSE(g.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 0);
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(g.title(), "VIMBO");
    EXPECT_TRUE(g.Cmd_com_usb->has_normal_face());
}

TEST_F(Settings_file_test, FileWithOnlyLineOneKeepsItsPortForTheNextOpening) {
    write_file("vimbo.set", "5    Last selected CommPort Number.\r\n");
    Vimbo_form& f = make_form();
    expect_boxes("5", "", "");
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 0);
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(f.title(), "VIMBO");
    EXPECT_TRUE(f.state.Port_from_settings);
    EXPECT_EQ(f.files.count(), 0u);

    // The first opening uses the file's port with its empty rate, whatever the boxes hold.
    f.Text_com_number->setText("6");
    f.Text_baud_rate->setText("9600");
    QTest::mouseClick(f.Cmd_com_usb, Qt::LeftButton);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines(), QStringList({"Invalid COM port number!",
                                        "COM 5: 0 b/s is not a rate the port can use. Type 2400 to "
                                        "115200 or double-click the box."}));
    EXPECT_FALSE(f.state.Port_from_settings);
    // The one after reads the boxes.
    QTest::keyClick(f.Text_com_number, Qt::Key_Return);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(6));
    EXPECT_EQ(log_lines().last(), "COMM:6 9600b/s.N.8.1...");

    // Two lines: the rate is filled too, still no engine and no opening.
    write_file("vimbo.set", "5\r\n4800\r\n");
    Vimbo_form& g = make_form();
    expect_boxes("5", "4800", "");
    EXPECT_FALSE(g.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 1);
    EXPECT_TRUE(g.state.Port_from_settings);
}

TEST_F(Settings_file_test, SaveAfterAStartThatStoppedEarlyOpensWithTheValuesJustSaved) {
    write_file("vimbo.set", "5\r\n");
    Vimbo_form& f = make_form();
    ASSERT_TRUE(f.state.Port_from_settings);
    type_settings("7", "4800", "M10");
    save();
    EXPECT_EQ(f.state.Com_number, "7");
    EXPECT_EQ(f.state.Baud_rate, "4800");
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.opened_device, device_for_com_port(7));
    EXPECT_EQ(port_.opened_baud, 4800);
    EXPECT_EQ(f.title(), " SMS CONTROLLER.......");  // an opening with the settings' values
    EXPECT_FALSE(f.state.Port_from_settings);
}

TEST_F(Settings_file_test, StartUpWithAPortThatCannotOpen) {
    // Port 20: the range check empties the box, the opening is still tried with 20.
    write_file("vimbo.set",
               "20    Last selected CommPort Number.\r\n"
               "9600    Last selected Baud Rate.\r\n"
               "M35    Last selected GSM Engine.\r\n");
    Vimbo_form& f = make_form();
    expect_boxes("", "9600", "M35");
    EXPECT_EQ(f.state.Com_number, "20");
    EXPECT_EQ(log_lines(), QStringList({"Invalid COM port number!",
                                        "COM 20: there is no such port. Type a number 1 to 16, or "
                                        "right-click [Com/usb] to choose the converter."}));
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_EQ(f.title(), " SMS CONTROLLER.......");
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 0);
    EXPECT_FALSE(f.state.Port_from_settings);
    EXPECT_EQ(f.state.Open_fail_count, 1);

    // A port in range whose device is missing.
    port_.devices.remove(device_for_com_port(9));
    write_file("vimbo.set", "9\r\n9600\r\nM35\r\n");
    Vimbo_form& g = make_form();
    expect_boxes("9", "9600", "M35");
    EXPECT_EQ(log_lines(), QStringList({"Invalid COM port number!",
                                        "COM 9 = " + device_for_com_port(9) +
                                            ": no such device. Right-click [Com/usb] to choose "
                                            "the converter."}));
    EXPECT_EQ(g.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_EQ(g.title(), " SMS CONTROLLER.......");
    EXPECT_FALSE(g.MSerial.PortOpen());
    EXPECT_TRUE(dialogs_.boxes.empty());

    // A rate the port cannot take.
    write_file("vimbo.set", "3\r\n1234\r\nM35\r\n");
    Vimbo_form& h = make_form();
    expect_boxes("3", "1234", "M35");
    EXPECT_EQ(log_lines(), QStringList({"Invalid COM port number!",
                                        "COM 3: 1234 b/s is not a rate the port can use. Type 2400 "
                                        "to 115200 or double-click the box."}));
    EXPECT_FALSE(h.MSerial.PortOpen());
}

TEST_F(Settings_file_test, GarbageAndOddFilesFillWhatTheyCanAndNeverFail) {
    // No file: empty boxes, closed port, plain title.
    const Vimbo_form& f = make_form();
    expect_boxes("", "", "");
    EXPECT_EQ(f.title(), "VIMBO");
    EXPECT_TRUE(log_lines().isEmpty());

    write_file("vimbo.set", QByteArray("\xff\xfe\0abc\r\nxyz 9600\r\n\x01\tM\xe9\xff 35\r\n", 28));
    Vimbo_form& g = make_form();
    expect_boxes("", "", QString::fromLatin1("\x01\tM\xe9"));
    EXPECT_EQ(g.state.Com_number, "0");
    EXPECT_EQ(g.state.Baud_rate, "0");
    EXPECT_FALSE(g.MSerial.PortOpen());
    EXPECT_TRUE(log_lines().isEmpty());

    // Lines ended by LF alone (edited on Linux), a number glued to text, a blank file end.
    write_file("vimbo.set", "2abc\n115200 baud\n\n");
    Vimbo_form& h = make_form();
    expect_boxes("2", "115200", "");
    EXPECT_EQ(port_.opened_device, device_for_com_port(2));
    EXPECT_EQ(port_.opened_baud, 115200);
    EXPECT_EQ(log_lines(), QStringList{"COMM:2 115200b/s.N.8.1..."});
    h.MSerial.set_PortOpen(false);

    // One huge line: only the start of the file is read; it names no port.
    write_file("vimbo.set", QByteArray(3 * Settings_file::kMaxBytesRead, 'x'));
    Vimbo_form& i = make_form();
    expect_boxes("", "", "");
    EXPECT_EQ(i.state.Com_number, "0");
    EXPECT_EQ(i.files.count(), 0u);

    // An empty file and a folder in the file's place read as no file.
    write_file("vimbo.set", "");
    make_form();
    expect_boxes("", "", "");
    ASSERT_TRUE(QFile::remove(path("vimbo.set")));
    ASSERT_TRUE(QDir(path(".")).mkdir("vimbo.set"));
    Vimbo_form& j = make_form();
    expect_boxes("", "", "");
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(j.files.count(), 0u);
}

TEST_F(Settings_file_test, ReadOnlyFolderShowsTheBoxAndKeepsTheOldFile) {
    Vimbo_form& f = make_form();
    type_settings("3", "9600", "M35");
    save();
    ASSERT_EQ(read_file("vimbo.set"), k3_9600_M35);
    ASSERT_EQ(port_.open_count, 1);

    type_settings("4", "19200", "M10");
    {
        // As root the permission bits do not stop a write. There a file size limit of
        // 0 bytes stands in for the read-only folder: no byte of the new file gets out.
        const bool root = geteuid() == 0;
        std::unique_ptr<Read_only_folder> read_only;
        std::unique_ptr<File_size_limit> no_bytes;
        if (root) {
            no_bytes = std::make_unique<File_size_limit>(0);
        } else {
            read_only = std::make_unique<Read_only_folder>(path("."));
        }
        save();
    }
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0], "Fail to write Comm/USB number to file!");
    EXPECT_EQ(read_file("vimbo.set"), k3_9600_M35);
    EXPECT_EQ(folder(), QStringList{"vimbo.set"});
    // The port is not reopened; the boxes keep their texts.
    EXPECT_EQ(port_.open_count, 1);
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 9600b/s.N.8.1..."});
    expect_boxes("4", "19200", "M10");
    EXPECT_EQ(f.files.count(), 0u);

    // With the folder writable again the same save goes through.
    save();
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(read_file("vimbo.set"), QByteArray("4    Last selected CommPort Number.\r\n"
                                                 "19200    Last selected Baud Rate.\r\n"
                                                 "M10    Last selected GSM Engine.\r\n"));
    EXPECT_EQ(port_.open_count, 2);
}

TEST_F(Settings_file_test, SaveThatFailsHalfWayLeavesTheOldSettingsIntact) {
    make_form();
    type_settings("3", "9600", "M35");
    save();
    ASSERT_EQ(read_file("vimbo.set"), k3_9600_M35);

    // The disk fills up after 40 bytes, inside line 2 of the new file.
    type_settings("12", "115200", "W228");
    {
        File_size_limit full_disk(40);
        save();
    }
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0], "Fail to write Comm/USB number to file!");
    EXPECT_EQ(read_file("vimbo.set"), k3_9600_M35);
    EXPECT_EQ(folder(), QStringList{"vimbo.set"});
    EXPECT_EQ(port_.open_count, 1);

    // A folder in the file's place cannot be replaced either.
    ASSERT_TRUE(QFile::remove(path("vimbo.set")));
    ASSERT_TRUE(QDir(path(".")).mkdir("vimbo.set"));
    save();
    ASSERT_EQ(dialogs_.boxes.size(), 2u);
    EXPECT_EQ(dialogs_.boxes[1], "Fail to write Comm/USB number to file!");
    EXPECT_TRUE(QFileInfo(path("vimbo.set")).isDir());
    EXPECT_EQ(folder(), QStringList{"vimbo.set"});
    EXPECT_EQ(port_.open_count, 1);

    // A start with the folder in the file's place reads nothing and opens nothing.
    Vimbo_form& g = make_form();
    expect_boxes("", "", "");
    EXPECT_FALSE(g.MSerial.PortOpen());
}
