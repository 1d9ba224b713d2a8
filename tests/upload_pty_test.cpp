#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <numeric>

#include "app/control_table.h"
#include "app/port_opening.h"
#include "app/record_lines.h"
#include "eeprom/eeprom_read.h"
#include "tests/support/pty_fixture.h"
#include "tests/upload_fixture.h"
#include "upload/update_vimbo.h"
#include "upload/upload_commands.h"

namespace {
QByteArray hex2(int value) {
    return QByteArray::number(value & 0xFF, 16).rightJustified(2, '0').toUpper();
}

// A data record in the image format, "#" LL AAAA TT data CC, CC making all bytes sum to 0.
QByteArray data_record(int address, const QByteArray& bytes) {
    int sum = bytes.size() + (address >> 8) + (address & 0xFF);
    QByteArray record = "#" + hex2(bytes.size()) + hex2(address >> 8) + hex2(address) + "00";
    for (char b : bytes) {
        record += hex2(uchar(b));
        sum += uchar(b);
    }
    return record + hex2((256 - sum % 256) % 256);
}

QByteArray pattern(int seed) {
    QByteArray bytes;
    for (int i = 0; i < 16; ++i) bytes.append(char((seed * 37 + i * 11) & 0xFF));
    return bytes;
}

QByteArray read_all(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> file_lines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void write_lines(const QString& path, const QList<QByteArray>& lines) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (const QByteArray& line : lines) file.write(line + "\r\n");
}

const QString kUpdateSuccess = "#@ Software Update to RQMxx succesfull!";
const QString kEepromSuccess = "#@ Eeprom upload to RQMxx succesfull!";
const QString kVerifyHint = "To verify: right-click Write EEP to compare the board with 2418.eep.";
}  // namespace

class Upload_pty_test : public Pty_test {
  protected:
    Vimbo_form& start(const QStringList& sim_options) {
        EXPECT_TRUE(start_sim(3, sim_options));
        Vimbo_form& f = make_form();
        f.show();
        f.Text_com_number->setText("3");
        f.Text_baud_rate->setText("9600");
        f.port_opening().Cmd_com_usb_Click();
        EXPECT_TRUE(f.MSerial.PortOpen());
        return f;
    }

    // Starts a transfer with a click and resets the board (the bytes of Initialize) once it
    // waits for the sign-on. Returns when the transfer has ended. The guard clicks the busy
    // button after guard_ms so that a broken link cannot hang the suite.
    void run_transfer(Vimbo_form& f, Vb_button* button, int guard_ms = 60000) {
        QTimer::singleShot(200, &f,
                           [&f] { f.MSerial.Output(QString::fromLatin1("\x00\x18\x21", 3)); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout,
                         [button] { QTest::mouseClick(button, Qt::LeftButton); });
        guard.start(guard_ms);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(guard.isActive()) << "the transfer had to be stopped by the hang guard";
    }

    void expect_idle(Vimbo_form& f) {
        expect_transfer_buttons_idle(f);
        EXPECT_EQ(f.files.count(), 0u);
    }
};

// A parameter backup (as the EEPROM read writes it) goes back into the board with Write EEP:
// the records and the end record, after which the board says done.
TEST_F(Upload_pty_test, EepromBackupIsWrittenBackUntilDone) {
    QList<QByteArray> image;
    for (int address = 0; address < 1024; address += 16)
        image << data_record(address, pattern(address / 16));
    image << "#00000001FF"
          << ""
          << ""
          << "Mcu type; 324 / SMS Controller type Rq5"
          << "1024 Eeprom bytes."
          << "Dump date; 09.12.2026 at 06:31:11"
          << "";
    ASSERT_EQ(image.size(), 71);
    write_lines(path("2418.eep"), image);

    Vimbo_form& f = start({"--hwid", "2418", "--upload-out", path("received.txt")});
    f.state.Eeprom_file = "2418.eep";
    run_transfer(f, f.Cmd_write_eeprom);

    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2), (QStringList{kEepromSuccess, kVerifyHint}));
    EXPECT_TRUE(log_lines().contains("Hardware Id = #2418"));
    EXPECT_TRUE(log_lines().contains("WRITING; 2418.eep"));
    EXPECT_EQ(file_lines(path("received.txt")), image.mid(0, 65));
    EXPECT_EQ(f.hint(), "#00000001FF");
    EXPECT_TRUE(sim_.wait_for_line("event loader-done"));
    expect_idle(f);
}

// The round trip a technician makes: Read EEP saves the board's parameters, Write EEP sends
// that very backup back until the board says done.
TEST_F(Upload_pty_test, BackupMadeByTheEepromReadIsWrittenBack) {
    Vimbo_form& f =
        start({"--hwid", "2418", "--eeprom-size", "1024", "--upload-out", path("received.txt")});
    dialogs_.answers.push_back([&f] {
        QTimer::singleShot(0, &f,
                           [&f] { f.MSerial.Output(QString::fromLatin1("\x00\x18\x21", 3)); });
        return QString("2418.eep");
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&f] { f.Cmd_exit_Click(); });
    guard.start(60000);
    f.eeprom_read().Cmd_read_eeprom_Click();
    ASSERT_TRUE(guard.isActive()) << "the read had to be stopped by the hang guard";
    guard.stop();
    ASSERT_EQ(f.hint(), "Done and saved to; 2418.eep");
    const QList<QByteArray> backup = file_lines(path("2418.eep"));
    ASSERT_EQ(backup.size(), 71);

    run_transfer(f, f.Cmd_write_eeprom);
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2), (QStringList{kEepromSuccess, kVerifyHint}));
    QList<QByteArray> sent = backup.mid(0, 65);
    for (QByteArray& line : sent) line = line.trimmed();  // without the CR of the CR LF
    EXPECT_EQ(file_lines(path("received.txt")), sent);
    expect_idle(f);

    // The session record holds both transfers from start to end, the dump lines as received
    // and the image's lines as sent.
    const QString recorded =
        QString::fromLatin1(read_all(path("logs/" + record::file_name(QDate::currentDate()))));
    const QString eep = " file 2418.eep";
    const QStringList expected{
        "* Transfer start: EEPROM read," + eep,
        "* Saving; 1024 Bytes to Disk File.",
        "* Transfer end: EEPROM read," + eep + ": Done and saved to; 2418.eep",
        "* Transfer start: EEPROM write," + eep,
        "> " + sent[0] + "<0D>",
        "> #00000001FF<0D>",
        "* Transfer end: EEPROM write," + eep + ": " + kEepromSuccess};
    for (const QString& line : expected) {
        EXPECT_TRUE(recorded.contains(" " + line + "\r\n")) << line.toStdString();
    }
    EXPECT_EQ(recorded.count(QRegularExpression(" < #[0-9A-F]{34}\r\n")), 64);
    EXPECT_LT(recorded.indexOf("Transfer end: EEPROM read"),
              recorded.indexOf("Transfer start: EEPROM write"));
}

// An update file of 500 lines, picked in the list, for a board whose id is checked.
TEST_F(Upload_pty_test, UpdateFileOf500LinesPickedInTheList) {
    QList<QByteArray> update;
    for (int i = 0; i < 499; ++i) update << data_record((i * 16) & 0xFFFF, pattern(i));
    update << "#00000001FF";
    write_lines(path("2400 fw.upd"), update);

    Vimbo_form& f = start({"--hwid", "2400", "--upload-out", path("received.txt")});
    QTest::mouseClick(f.Cmd_show_upd_file, Qt::LeftButton);
    const auto items = f.File_list_1->findItems("2400 fw.upd", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QPoint at = f.File_list_1->visualItemRect(items.first()).center();
    QTest::mouseClick(f.File_list_1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(f.File_list_1->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(f.state.File_id, "2400");

    run_transfer(f, f.Cmd_update_vimbo, 120000);

    EXPECT_TRUE(dialogs_.boxes.empty());
    const QString chosen =
        QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + "2400 fw.upd";
    const QStringList log = log_lines();
    // The board's greeting after its reset comes between the first line and the rest.
    ASSERT_GE(log.size(), 7);
    EXPECT_EQ(log.mid(log.size() - 7),
              (QStringList{"Don't click on BUSY to escape but wait!",
                           "SMS CONTROLLER SIM V1.0 READY", "Hardware responding...", chosen,
                           "Hardware Id = #2400", "WRITING; " + chosen, kUpdateSuccess}));
    EXPECT_EQ(file_lines(path("received.txt")), update);
    EXPECT_EQ(f.hint(), "#00000001FF");
    EXPECT_LT(f.Label1->progress(), 0);
    expect_idle(f);
    const QByteArray recorded = read_all(path("logs/" + record::file_name(QDate::currentDate())));
    EXPECT_TRUE(recorded.contains(" * Transfer start: Update, file " + chosen.toLatin1() + "\r\n"));
    EXPECT_TRUE(recorded.contains(" * Transfer end: Update, file " + chosen.toLatin1() + ": " +
                                  kUpdateSuccess.toLatin1() + "\r\n"));
}

// The board goes away after the 5th line: the loss is reported, the transfer fails with its
// box, no success is claimed, and the window keeps answering clicks meanwhile.
TEST_F(Upload_pty_test, UnplugMidUploadShowsTheFailureAndKeepsTheWindowResponsive) {
    QList<QByteArray> update;
    for (int i = 0; i < 20; ++i) update << data_record(i * 16, pattern(i));
    update << "#00000001FF";
    write_lines(path("8800.upd"), update);

    Vimbo_form& f = start({"--upload-out", path("received.txt"), "--fault", "loader-unplug=5"});
    // Once the port is lost, a click on another button must still be handled while the
    // transfer waits.
    bool clicked_after_loss = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (f.MSerial.PortOpen() || clicked_after_loss) return;
        QTest::mouseClick(f.Cmd_show_upd_file, Qt::LeftButton);
        clicked_after_loss = f.Cmd_show_upd_file->caption() == "Upd file ?" &&
                             !f.File_list_1->isHidden() && f.Cmd_update_vimbo->caption() == "BUSY!";
    });
    watch.start(20);
    run_transfer(f, f.Cmd_update_vimbo);
    watch.stop();

    EXPECT_TRUE(clicked_after_loss);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    EXPECT_FALSE(log_lines().contains(kUpdateSuccess));
    EXPECT_TRUE(log_lines().contains("COMM:3 lost: the device has gone away."));
    EXPECT_EQ(log_lines().last(), "Upload stopped after line 5 of 21: the port was lost.");
    EXPECT_EQ(f.hint(), "RQMxx take to long to respond! (Also check the serial link)");
    EXPECT_EQ(file_lines(path("received.txt")), update.mid(0, 5));
    // The file sent stays as it was.
    const QByteArray sent_file = std::accumulate(
        update.begin(), update.end(), QByteArray(),
        [](const QByteArray& all, const QByteArray& line) { return all + line + "\r\n"; });
    QFile upd(path("8800.upd"));
    ASSERT_TRUE(upd.open(QIODevice::ReadOnly));
    EXPECT_EQ(upd.readAll(), sent_file);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
    EXPECT_EQ(f.title(), " VIMBO .....");
    EXPECT_EQ(f.files.count(), 0u);
}
