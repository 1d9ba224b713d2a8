#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include "app/record_disk.h"
#include "app/record_lines.h"
#include "app/record_menu.h"
#include "app/session_record.h"
#include "tests/support/form_fixture.h"
#include "tests/support/list_clicks.h"

namespace {

// The real files, with failures and syncs to order: a disk that fills up after so many
// lines, a folder that cannot be made.
class Scripted_disk : public Record_disk {
  public:
    QString make_folder(const QString& path) override {
        ++folders_made;
        return folder_fails ? QStringLiteral("the folder cannot be made") : real.make_folder(path);
    }
    QString open_for_append(const QString& path) override {
        ++opens;
        return real.open_for_append(path);
    }
    QString write(const QByteArray& line) override {
        if (lines_until_full >= 0 && lines_until_full-- == 0) {
            ++failed_writes;
            return QStringLiteral("x.log cannot be written (No space left on device)");
        }
        return real.write(line);
    }
    void sync() override {
        ++syncs;
        real.sync();
    }
    void close() override { real.close(); }

    File_record_disk real;
    bool folder_fails = false;
    int lines_until_full = -1;  // -1: never full
    int folders_made = 0, opens = 0, failed_writes = 0, syncs = 0;
};

}  // namespace

class Session_record_test : public Form_test {
  protected:
    // The record file of one day, line by line without CR LF; every line must end in CR LF.
    QStringList record_of(const QDate& day) {
        const QByteArray all = read_file(QStringLiteral("logs/") + record::file_name(day));
        EXPECT_TRUE(all.isEmpty() || all.endsWith("\r\n"));
        QStringList lines = QString::fromLatin1(all).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    QStringList today() { return record_of(wall_start_.date()); }
    // The lines without their time stamps.
    QStringList today_text() {
        QStringList lines = today();
        for (QString& line : lines) line = line.mid(24);
        return lines;
    }
    int stop_lines() const {
        return int(log_lines().filter(QStringLiteral("Session record stopped: ")).size());
    }
};

TEST_F(Session_record_test, EachMarkIsWrittenWithItsTimeAndTheSentBytesEscaped) {
    Vimbo_form& f = make_form();
    clock_.advance(1234);
    open_port(3);
    board().deliver("OK\r\n#\xBE\x01\r\n\r");
    clock_.run_pending();
    QTest::mouseClick(f.Cmd_initialize_vimbo, Qt::LeftButton);
    f.Text_Cmd->setText(QStringLiteral("AT+CSQ"));
    QTest::mouseClick(f.Cmd_send_cmd, Qt::LeftButton);
    f.Text_Cmd->setText(QStringLiteral("^Z"));
    QTest::mouseClick(f.Cmd_send_cmd, Qt::LeftButton);
    f.Text_Cmd->setText(QString::fromLatin1("\xE9t\xE9\x7F"));
    QTest::mousePress(f.Cmd_send_cmd, Qt::RightButton);
    QTest::mouseClick(f.Cmd_reserve_1, Qt::LeftButton);

    const QStringList lines = today();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "2026-12-10 09:30:00.000 * Program start: VIMBO " VIMBO_VERSION);
    EXPECT_EQ(lines[1].left(26), "2026-12-10 09:30:01.234 * ");
    QStringList text = today_text();
    text.removeFirst();
    EXPECT_EQ(text, (QStringList{
                        "* " + log_lines()[0],  // the COMM line of the opening
                        "< OK", "< #" + QString(QChar(0xBE)) + QChar(0x01), "< ", "> <00>",
                        "> <18>", "> !", "> AT+CSQ<0D>", "> <1A>", "> <E9>t<E9><7F>",
                        "* " + log_lines().last(),  // the separator
                    }));
    EXPECT_TRUE(log_lines()[0].startsWith("COMM:3 9600b/s"));
    EXPECT_TRUE(log_lines().last().startsWith("================================= "));
    // Shown once in the log, recorded once as received.
    EXPECT_EQ(log_lines().count("OK"), 1);
}

TEST_F(Session_record_test, PortClosingEmptyingTheLogAndTheExitAreNoted) {
    Vimbo_form& f = make_form();
    open_port(3);
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);  // closes the port
    double_click_row(f.List_1, 0);
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);  // opens it again
    QTest::mouseClick(f.Cmd_exit, Qt::LeftButton);
    QStringList text = today_text();
    ASSERT_EQ(text.size(), 7);
    EXPECT_EQ(text[0], "* Program start: VIMBO " VIMBO_VERSION);
    EXPECT_TRUE(text[1].startsWith("* COMM:3 "));
    EXPECT_EQ(text[2], "* Port COM3 closed");
    EXPECT_EQ(text[3], "* Log emptied");
    EXPECT_TRUE(text[4].startsWith("* COMM:3 "));
    EXPECT_EQ(text[5], "* Port COM3 closed");
    EXPECT_EQ(text[6], "* Program exit");
    // Nothing is written once the program has ended.
    f.log(QStringLiteral("late"));
    EXPECT_EQ(today_text().size(), 7);
}

TEST_F(Session_record_test, AfterMidnightTheNextLineGoesIntoTheNewDaysFile) {
    wall_start_ = QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59, 500));
    make_form();
    open_port(3);
    board().deliver_after(499, "before\r");
    board().deliver_after(501, "after\r");
    clock_.advance(600);
    const QStringList before = record_of(QDate(2026, 12, 10));
    const QStringList after = record_of(QDate(2026, 12, 11));
    ASSERT_EQ(before.size(), 3);
    EXPECT_EQ(before[2], "2026-12-10 23:59:59.999 < before");
    EXPECT_EQ(after, QStringList{"2026-12-11 00:00:00.001 < after"});
}

TEST_F(Session_record_test, AFullDiskStopsTheRecordWithOneLineAndTheToolGoesOn) {
    // A record file that is the system's always-full device.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("logs")));
    if (!QFile::link(QStringLiteral("/dev/full"),
                     QStringLiteral("logs/") + record::file_name(wall_start_.date()))) {
        GTEST_SKIP() << "no symbolic links here";
    }
    Vimbo_form& f = make_form();
    open_port(3);
    board().deliver("one\rtwo\r");
    clock_.run_pending();
    QTest::mouseClick(f.Cmd_initialize_vimbo, Qt::LeftButton);
    const QStringList log = log_lines();
    ASSERT_EQ(stop_lines(), 1);
    EXPECT_EQ(log[0], "Session record stopped: " +
                          QDir::toNativeSeparators(path("logs/vimbo-2026-12-10.log")) +
                          " cannot be written (No space left on device).");
    EXPECT_TRUE(log.contains("one"));
    EXPECT_TRUE(log.contains("two"));
    EXPECT_EQ(take_written().right(3), QByteArray("\x00\x18!", 3));
    EXPECT_FALSE(f.record_menu().record_on()->isChecked());
}

TEST_F(Session_record_test, AFolderThatCannotBeMadeOrIsAFileStopsTheRecordOnce) {
    Scripted_disk disk;
    disk.folder_fails = true;
    record_disk_ = &disk;
    make_form();
    open_port(3);
    board().deliver("one\rtwo\r");
    clock_.run_pending();
    EXPECT_EQ(disk.folders_made, 1);  // no retry for each line
    EXPECT_EQ(stop_lines(), 1);
    EXPECT_EQ(log_lines()[0], "Session record stopped: the folder cannot be made.");

    record_disk_ = nullptr;
    write_file(QStringLiteral("logs"), "a file in the way");
    make_form();
    open_port(3);
    EXPECT_EQ(log_lines()[0], "Session record stopped: " + QDir::toNativeSeparators(path("logs")) +
                                  " is a file, not a folder.");
    EXPECT_EQ(stop_lines(), 1);
    EXPECT_EQ(read_file(QStringLiteral("logs")), "a file in the way");
}

TEST_F(Session_record_test, SwitchedOnAgainAfterADiskFullItTriesAfresh) {
    Scripted_disk disk;
    disk.lines_until_full = 2;
    record_disk_ = &disk;
    Vimbo_form& f = make_form();
    open_port(3);
    board().deliver("one\rtwo\rthree\r");
    clock_.run_pending();
    EXPECT_EQ(disk.failed_writes, 1);
    EXPECT_EQ(stop_lines(), 1);
    EXPECT_EQ(today_text(),
              (QStringList{"* Program start: VIMBO " VIMBO_VERSION, "* " + log_lines()[0]}));
    f.record_menu().record_on()->trigger();  // on again
    board().deliver("four\r");
    clock_.run_pending();
    EXPECT_EQ(today_text().mid(2), (QStringList{"* Session record on", "< four"}));
    EXPECT_EQ(stop_lines(), 1);
}

TEST_F(Session_record_test, TheSwitchIsTheUsersOwnAndSurvivesARestart) {
    write_file(QStringLiteral("vimbo.set"), "3    a\r\n9600    b\r\nM35    c\r\n");
    Vimbo_form& f = make_form();
    EXPECT_TRUE(f.record_menu().record_on()->isChecked());
    f.record_menu().record_on()->trigger();  // off
    EXPECT_EQ(today_text().last(), "* Session record off");
    f.log(QStringLiteral("not recorded"));
    EXPECT_EQ(today_text().last(), "* Session record off");

    make_form();  // a restart: the record stays off
    EXPECT_FALSE(form().record_menu().record_on()->isChecked());
    EXPECT_EQ(today_text().count("* Program start: VIMBO " VIMBO_VERSION), 1);
    EXPECT_EQ(read_file(QStringLiteral("vimbo.set")), "3    a\r\n9600    b\r\nM35    c\r\n");
    const QSettings user(QSettings::IniFormat, QSettings::UserScope, "vimbo", "vimbo");
    EXPECT_EQ(user.value("record/on"), false);
    EXPECT_FALSE(user.fileName().startsWith(path(".")));
}

TEST_F(Session_record_test, AnEepromReadIsMarkedAtItsStartAndEndAndReachesTheDisk) {
    Scripted_disk disk;
    record_disk_ = &disk;
    make_form();
    Session_record& r = form().record();
    r.transfer_started(QStringLiteral("EEPROM read"), QStringLiteral("2418.eep"));
    form().log(QStringLiteral("Saving; 2048 Bytes to Disk File."));
    r.told(QStringLiteral("Done and saved to; 2418.eep"));
    EXPECT_EQ(disk.syncs, 0);
    r.transfer_ended();
    EXPECT_EQ(disk.syncs, 1);
    r.transfer_ended();  // once only
    EXPECT_EQ(today_text().mid(1),
              (QStringList{"* Transfer start: EEPROM read, file 2418.eep",
                           "* Saving; 2048 Bytes to Disk File.", "* Done and saved to; 2418.eep",
                           "* Transfer end: EEPROM read, file 2418.eep: Done and saved to; "
                           "2418.eep"}));
    // A transfer still running at the exit ends with the program.
    r.transfer_started(QStringLiteral("Update"), QStringLiteral("2418.upd"));
    QTest::mouseClick(form().Cmd_exit, Qt::LeftButton);
    EXPECT_EQ(today_text().mid(5),
              (QStringList{"* Transfer start: Update, file 2418.upd",
                           "* Transfer end: Update, file 2418.upd: the program is closing",
                           "* Program exit"}));
    EXPECT_EQ(disk.syncs, 3);
}
