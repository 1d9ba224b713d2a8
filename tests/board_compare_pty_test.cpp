#include <QTest>
#include <QTimer>

#include "app/backup_viewer.h"
#include "app/backup_window.h"
#include "app/port_opening.h"
#include "tests/backup_images.h"
#include "tests/support/pty_fixture.h"

namespace {
const QString kEepromSuccess = "#@ Eeprom upload to RQMxx succesfull!";
}  // namespace

// Write EEP and then the compare, with the real window and port against the simulator.
class Board_compare_pty_test : public Pty_test {
  protected:
    Vimbo_form& start(const QStringList& sim_options) {
        EXPECT_TRUE(
            start_sim(3, QStringList{"--hwid", "2418", "--eeprom-size", "1024"} + sim_options));
        Vimbo_form& f = make_form();
        f.show();
        f.Text_com_number->setText("3");
        f.Text_baud_rate->setText("115200");
        f.port_opening().Cmd_com_usb_Click();
        EXPECT_TRUE(f.MSerial.PortOpen());
        return f;
    }
    // Presses the button and resets the board (the bytes of Initialize) once it waits for
    // the sign-on; returns when the run has ended. A click on the busy button after a
    // minute keeps a broken link from hanging the suite.
    void run_with(Vimbo_form& f, Qt::MouseButton button) {
        QTimer::singleShot(200, &f,
                           [&f] { f.MSerial.Output(QString::fromLatin1("\x00\x18\x21", 3)); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout,
                         [&f] { QTest::mouseClick(f.Cmd_write_eeprom, Qt::LeftButton); });
        guard.start(60000);
        QTest::mouseClick(f.Cmd_write_eeprom, button);
        EXPECT_TRUE(guard.isActive()) << "stopped by the hang guard";
    }
};

TEST_F(Board_compare_pty_test, AWriteThenACompareMatchesAndAByteThatDoesNotStickIsFound) {
    // A backup unlike what the board holds, so that every byte has to be written.
    const QByteArray image = backup_images::pattern(1024, 11);
    {
        QFile file(path("2418.eep"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(backup_images::backup("2418.eep", image));
    }
    Vimbo_form& f = start({});
    f.state.Eeprom_file = "2418.eep";
    run_with(f, Qt::LeftButton);
    ASSERT_TRUE(log_lines().contains(kEepromSuccess));
    EXPECT_EQ(log_lines().last(),
              "To verify: right-click Write EEP to compare the board with 2418.eep.");
    ASSERT_TRUE(sim_.wait_for_line("event eeprom-written"));

    run_with(f, Qt::RightButton);
    EXPECT_EQ(log_lines().last(), "Board matches 2418.eep: 1024 bytes identical.");
    EXPECT_FALSE(f.backup_viewer().has_window());

    // A byte that does not stick: the write still ends with "#@", the compare finds it.
    ASSERT_TRUE(sim_.command("fault loader-stuck 0123"));
    QByteArray second = image;
    for (char& b : second) b = char(~b);
    {
        QFile file(path("2418.eep"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(backup_images::backup("2418.eep", second));
    }
    run_with(f, Qt::LeftButton);
    ASSERT_TRUE(log_lines().contains(kEepromSuccess));
    run_with(f, Qt::RightButton);
    const QByteArray want = QByteArray(1, second[0x123]).toHex().toUpper();
    const QByteArray held = QByteArray(1, image[0x123]).toHex().toUpper();
    EXPECT_EQ(log_lines().last(),
              "Board differs from 2418.eep: 1 byte in 1 record, first at "
              "0123 (file " +
                  want + ", board " + held + ").");
    ASSERT_TRUE(f.backup_viewer().has_window());
    EXPECT_EQ(f.backup_viewer().window().position_text(), "Difference 1 of 1 at 0123");
}
