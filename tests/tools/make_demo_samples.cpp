// Makes the demo folder's sample files: "2418.eep", a real backup read by the window from
// the board simulator, and "2418.upd", a small update for that board's hardware id.
//   vimbo_demo_samples DEMO_FOLDER
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "app/port_opening.h"
#include "app/vimbo_form.h"
#include "eeprom/eep_format.h"
#include "eeprom/eeprom_read.h"
#include "tests/support/real_window.h"
#include "tests/support/sim_process.h"

namespace {

constexpr int kUpdateRecords = 48;

int fail(const char* why) {
    std::fprintf(stderr, "vimbo_demo_samples: %s\n", why);
    return 1;
}

// A firmware-like pattern: 48 records of 16 bytes, then the end record.
QByteArray update_file() {
    QByteArray file;
    for (int r = 0; r < kUpdateRecords; ++r) {
        QString data;
        for (int i = 0; i < eep::kRecordBytes; ++i) {
            data += QStringLiteral("%1").arg((r * 37 + i * 11 + 0x0C) & 0xFF, 2, 16, QChar('0'));
        }
        file += eep::data_record(r * eep::kRecordBytes, data.toUpper()).toLatin1() + "\r\n";
    }
    return file + eep::kEndRecord.toLatin1() + "\r\n";
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) return fail("usage: vimbo_demo_samples DEMO_FOLDER");
    const QDir demo(QString::fromLocal8Bit(argv[1]));
    if (!demo.exists()) return fail("the demo folder does not exist");

    QTemporaryDir work;
    if (!work.isValid()) return fail("no temporary folder");
    Sim_process sim;
    if (!sim.start(work.path(), 1)) return fail("the board simulator did not start");
    QDir::setCurrent(work.path());

    bool read = false;
    {
        Real_window window;
        Vimbo_form& form = window.form;
        form.Text_com_number->setText(QStringLiteral("1"));
        form.Text_baud_rate->setText(QStringLiteral("115200"));
        form.port_opening().Cmd_com_usb_Click();
        if (!form.MSerial.PortOpen()) return fail("COM 1 of the simulator did not open");
        // Read EEP as a technician presses it: the name, then the board's reset.
        answer_name_then_reset(window.dialogs, form, QStringLiteral("2418.eep"));
        read = press_with_guard(
                   form, [&form] { form.eeprom_read().Cmd_read_eeprom_Click(); }, 60000) &&
               form.hint() == QStringLiteral("Done and saved to; 2418.eep");
    }
    sim.stop();
    if (!read) return fail("the EEPROM read did not end with Done");

    QFile backup(QDir(work.path()).filePath(QStringLiteral("2418.eep")));
    if (!backup.open(QIODevice::ReadOnly)) return fail("the backup is missing");
    if (!write_file(demo.filePath(QStringLiteral("2418.eep")), backup.readAll()) ||
        !write_file(demo.filePath(QStringLiteral("2418.upd")), update_file())) {
        return fail("cannot write the samples into the demo folder");
    }
    std::printf("demo samples: 2418.eep (read from the simulator), 2418.upd (%d records)\n",
                kUpdateRecords);
    return 0;
}
