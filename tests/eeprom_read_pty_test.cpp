#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "app/port_opening.h"
#include "eeprom/eeprom_read.h"
#include "tests/eeprom_board_script.h"
#include "tests/pty_scenario.h"
#include "tests/support/pty_fixture.h"
#include "tests/support/real_window.h"

// The EEPROM read with the real port against the board simulator over a pty.
class Eeprom_read_pty_test : public Pty_test {
  protected:
    // Starts the simulator with an image of size bytes and opens COM 3 on it.
    Vimbo_form& ready(int size, const QStringList& extra = {}) {
        board_.image = Eeprom_board_script::make_image(size, unsigned(size) + 1);
        QFile image(path("board.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(board_.image);
        image.close();
        EXPECT_TRUE(start_sim(3, QStringList{"--eeprom-image", path("board.bin")} + extra));
        Vimbo_form& f = make_form();
        f.Text_com_number->setText("3");
        f.Text_baud_rate->setText("115200");
        f.port_opening().Cmd_com_usb_Click();
        EXPECT_TRUE(f.MSerial.PortOpen());
        return f;
    }
    // Presses Read EEP, answers name and resets the board as Initialize does; returns when
    // the read has ended. A read still running after guard_ms is ended as by Close/Exit.
    void read_into(const QString& name, int guard_ms) {
        Vimbo_form& f = form();
        answer_name_then_reset(dialogs_, f, name);
        timed_out_ = !press_with_guard(
            f, [&f] { f.eeprom_read().Cmd_read_eeprom_Click(); }, guard_ms);
    }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }
    QByteArray read_file(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void expect_backup(const QString& name, const char* model_line, const char* size_line) {
        const QByteArray file = read_file(name);
        const int records = board_.lines();
        EXPECT_TRUE(file.startsWith(board_.records(records) + "#00000001FF\r\n\r\n\r\n" +
                                    model_line + "\r\n" + size_line + "\r\nDump date; "));
        EXPECT_TRUE(file.endsWith("\r\n\r\n"));
        EXPECT_EQ(file.count("\r\n"), records + 7);
    }

    Eeprom_board_script board_;
    bool timed_out_ = false;
};

TEST_F(Eeprom_read_pty_test, A24BoardIsBackedUpComplete) {
    Vimbo_form& f = ready(1024);
    read_into("2418.eep", 30000);
    EXPECT_FALSE(timed_out_);
    expect_backup("2418.eep", "Mcu type; 324 / SMS Controller type Rq5", "1024 Eeprom bytes.");
    EXPECT_TRUE(sim_.wait_for_line("event eeprom-done"));
    EXPECT_EQ(f.hint(), "Done and saved to; 2418.eep");
    EXPECT_EQ(log_lines().last(), "Saving; 1024 Bytes to Disk File.");
    EXPECT_EQ(log_lines().count(board_.dump_line(64)), 1);
    EXPECT_EQ(f.Cmd_read_eeprom->text(), "Read EEP");
    EXPECT_EQ(QDir(path(".")).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name),
              (QStringList{"2418.eep", "board.bin"}));
}

TEST_F(Eeprom_read_pty_test, An88BoardIsBackedUpComplete) {
    const Vimbo_form& f = ready(4096);
    read_into("8818shop.eep", 60000);
    EXPECT_FALSE(timed_out_);
    expect_backup("8818shop.eep", "Mcu type; 1284 / SMS Controller type RqM55",
                  "4096 Eeprom bytes.");
    EXPECT_EQ(f.hint(), "Done and saved to; 8818shop.eep");
    EXPECT_EQ(log_lines().last(), "Saving; 4096 Bytes to Disk File.");
}

TEST_F(Eeprom_read_pty_test, UnplugMidReadKeepsTheOldBackupAndTheWindowGoesOn) {
    Vimbo_form& f = ready(1024, {"--fault", "eeprom-unplug=12"});
    const QByteArray old_backup = "an older backup of this board\r\n";
    {
        QFile file(path("2418.eep"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old_backup);
    }
    // The window answers while the read runs: a key typed into the command line arrives.
    bool typed_while_busy = false;
    Scenario scenario;
    scenario.then([&] { return sim_.saw("event eeprom-line 2"); },
                  [&] {
                      const QString before = f.Text_Cmd->text();
                      QTest::keyClick(f.Text_Cmd, 'z');
                      typed_while_busy = f.Cmd_read_eeprom->text() == "BUSY!" &&
                                         f.Text_Cmd->text() == before + QLatin1Char('z');
                  });
    read_into("2418.eep", 30000);
    EXPECT_FALSE(timed_out_);
    EXPECT_TRUE(scenario.finished());
    EXPECT_TRUE(typed_while_busy);
    EXPECT_EQ(read_file("2418.eep"), old_backup);
    EXPECT_FALSE(exists("2418.eep.tmp"));
    EXPECT_EQ(read_file("2418.eep.partial"), board_.records(12));
    const QStringList log = log_lines();
    EXPECT_TRUE(log.contains("COMM:3 lost: the device has gone away."))
        << log.join('|').toStdString();
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{"EEPROM read stopped: the port was lost.",
                                                    "12 records kept in; 2418.eep.partial"}));
    EXPECT_FALSE(log.contains("Saving; 1024 Bytes to Disk File."));
    EXPECT_FALSE(f.hint().startsWith("Done and saved to; "));
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(f.Cmd_read_eeprom->text(), "Read EEP");
    EXPECT_TRUE(f.Cmd_read_eeprom->has_normal_face());
    EXPECT_EQ(f.files.count(), 0u);

    // The window goes on: whatever the lost device still signals drains away, and once the
    // board is back the port opens again and a read runs to its end.
    run_until([] { return false; }, 300);
    EXPECT_FALSE(f.MSerial.PortOpen());
    ASSERT_TRUE(sim_.command("fault clear"));
    ASSERT_TRUE(sim_.command("replug"));
    f.port_opening().Cmd_com_usb_Click();
    EXPECT_TRUE(f.MSerial.PortOpen());
    read_into("2418.eep", 30000);
    EXPECT_FALSE(timed_out_);
    expect_backup("2418.eep", "Mcu type; 324 / SMS Controller type Rq5", "1024 Eeprom bytes.");
}
