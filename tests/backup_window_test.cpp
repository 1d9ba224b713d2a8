#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "app/backup_viewer.h"
#include "app/backup_window.h"
#include "app/hex_view.h"
#include "eeprom/image_check.h"
#include "tests/backup_images.h"
#include "tests/support/form_fixture.h"

class Backup_window_test : public Form_test {
  protected:
    Backup_window& open_on(Vimbo_form& f, const QString& picked) {
        f.state.Chosen_file = picked;
        QTest::mouseClick(f.Cmd_show_upd_file, Qt::RightButton);
        return f.backup_viewer().window();
    }
    static void pick(Backup_window& w, const QString& name) {
        const int index = w.pick()->findText(name);
        ASSERT_GT(index, 0) << name.toStdString();
        emit w.pick()->activated(index);
    }
};

TEST_F(Backup_window_test, TwoBackupsShowTheirDifferencesCountAndNavigation) {
    const QByteArray first = backup_images::pattern(4096, 1);
    QByteArray second = first;
    second[0x123] = char(0x5A);
    second[0x124] = char(first[0x124] ^ 1);
    second[0x800] = char(first[0x800] ^ 0xFF);
    second[0xFFF] = char(first[0xFFF] ^ 0x10);
    write_file("8800.eep", backup_images::backup("8800.eep", first));
    write_file("8800b.eep", backup_images::backup("8800.eep", second));
    Vimbo_form& f = make_form();
    f.show();

    // The left click keeps its work: the file list, no window.
    QTest::mouseClick(f.Cmd_show_upd_file, Qt::LeftButton);
    EXPECT_FALSE(f.File_list_1->isHidden());
    EXPECT_FALSE(f.backup_viewer().has_window());
    f.File_list_1->hide();

    Backup_window& w = open_on(f, path("8800.eep"));
    EXPECT_FALSE(w.isHidden());
    EXPECT_EQ(w.windowTitle(), "VIMBO backup: 8800.eep");
    EXPECT_EQ(w.side_text(false),
              "8800.eep\nMcu type; 1284 / SMS Controller type RqM55\n"
              "4096 Eeprom bytes.\nDump date; " +
                  QLocale::c().toString(QDate(2026, 12, 10), QLocale::ShortFormat) + " at " +
                  QLocale::c().toString(QTime(11, 30), QLocale::ShortFormat) +
                  "\n4096 bytes in the records");
    EXPECT_EQ(w.count_text(), "4096 bytes");
    EXPECT_EQ(w.view()->rows(), 256);
    EXPECT_EQ(
        w.view()->row_text(first, 0x12),
        "0120  " + first.mid(0x120, 16).toHex(' ').toUpper() + "  " + [&] {
            QString chars;
            for (char c : first.mid(0x120, 16))
                chars += uchar(c) >= 0x20 && uchar(c) < 0x7F ? QChar(c) : QChar('.');
            return chars;
        }());
    EXPECT_FALSE(w.save_button()->isVisibleTo(&w));
    EXPECT_FALSE(w.next_button()->isEnabled());

    pick(w, "8800b.eep");
    EXPECT_EQ(w.windowTitle(), "VIMBO backup: 8800.eep against 8800b.eep");
    EXPECT_EQ(w.count_text(), "4 bytes differ in 3 records (3 runs)");
    EXPECT_TRUE(w.view()->differs_at(0x123));
    EXPECT_TRUE(w.view()->differs_at(0x124));
    EXPECT_FALSE(w.view()->differs_at(0x125));
    EXPECT_TRUE(w.view()->differs_at(0xFFF));
    // The first difference is current and in sight.
    EXPECT_EQ(w.current(), 0);
    EXPECT_EQ(w.position_text(), "Difference 1 of 3 at 0123-0124");
    auto in_sight = [&](int address) {
        const int row = address / 16;
        return row >= w.view()->first_visible_row() &&
               row < w.view()->first_visible_row() + w.view()->visible_rows();
    };
    EXPECT_TRUE(in_sight(0x123));

    // F3 and the button go on; Shift+F3 and the other button go back; both wrap.
    QTest::keyClick(w.view(), Qt::Key_F3);
    EXPECT_EQ(w.position_text(), "Difference 2 of 3 at 0800");
    EXPECT_TRUE(in_sight(0x800));
    QTest::mouseClick(w.next_button(), Qt::LeftButton);
    EXPECT_EQ(w.position_text(), "Difference 3 of 3 at 0FFF");
    EXPECT_TRUE(in_sight(0xFFF));
    QTest::keyClick(w.view(), Qt::Key_F3);
    EXPECT_EQ(w.current(), 0);
    QTest::keyClick(w.view(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(w.current(), 2);
    QTest::mouseClick(w.previous_button(), Qt::LeftButton);
    EXPECT_EQ(w.current(), 1);

    // The same file: no difference.
    pick(w, "8800.eep");
    EXPECT_EQ(w.count_text(), "No difference: 4096 bytes identical");
    EXPECT_EQ(w.current(), -1);
    EXPECT_EQ(w.position_text(), "");

    // A faulty second file still shows what it holds, and says what is wrong.
    write_file("8800c.eep", backup_images::backup("8800.eep", first).left(2000));
    w.show_backup(path("8800.eep"));
    pick(w, "8800c.eep");
    EXPECT_TRUE(w.side_text(true).contains("Not sound: 8800c.eep line "));
    EXPECT_EQ(w.diff().runs.front().start, 44 * 16);
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_TRUE(port_.writes.empty());
}

TEST_F(Backup_window_test, NothingPickedAndTheBoardSavedAsABackup) {
    Vimbo_form& f = make_form();
    QTest::mouseClick(f.Cmd_show_upd_file, Qt::RightButton);
    EXPECT_EQ(f.hint(), Backup_viewer::kNothingPicked);
    EXPECT_FALSE(f.backup_viewer().has_window());

    // With nothing picked, the backup Write EEP would send.
    const QByteArray file_bytes = backup_images::pattern(1024, 4);
    write_file("2418.eep", backup_images::backup("2418.eep", file_bytes));
    f.state.Eeprom_file = "2418.eep";
    QTest::mouseClick(f.Cmd_show_upd_file, Qt::RightButton);
    Backup_window& w = f.backup_viewer().window();
    EXPECT_EQ(w.windowTitle(), "VIMBO backup: 2418.eep");

    // Against the board, it can save what was read.
    QByteArray board = file_bytes;
    board[0x3F0] = char(board[0x3F0] ^ 0x40);
    w.show_board(load_backup("2418.eep"), board);
    EXPECT_EQ(w.windowTitle(), "VIMBO backup: 2418.eep against Board");
    EXPECT_TRUE(w.save_button()->isVisibleTo(&w));
    EXPECT_EQ(w.count_text(), "1 byte differs in 1 record (1 run)");
    EXPECT_TRUE(
        w.side_text(true).startsWith("Board\nMcu type; 324 / SMS Controller type Rq5\n"
                                     "1024 bytes read at "));

    // A name for another model is refused; Cancel saves nothing.
    dialogs_.answer("6418board.eep");
    QTest::mouseClick(w.save_button(), Qt::LeftButton);
    EXPECT_EQ(log_lines().last(), "Board EEPROM not saved: the name must begin with 24.");
    EXPECT_EQ(dialogs_.inputs.back().default_answer, "2418board.eep");
    QTest::mouseClick(w.save_button(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(path("2418board.eep")));

    dialogs_.answer("2418board.eep");
    QTest::mouseClick(w.save_button(), Qt::LeftButton);
    EXPECT_EQ(log_lines().last(), "Board EEPROM saved to; 2418board.eep");
    const QByteArray saved = read_file("2418board.eep");
    const eep::Image_read read = eep::read_image(saved, "2418board.eep");
    EXPECT_TRUE(read.sound());
    EXPECT_EQ(read.bytes, board);
    EXPECT_EQ(read.trailer.model_line, "Mcu type; 324 / SMS Controller type Rq5");
    EXPECT_EQ(read.trailer.size_line, "1024 Eeprom bytes.");
    EXPECT_TRUE(read.trailer.date_line.startsWith("Dump date; "));
    EXPECT_EQ(saved.count("\r\n"), 71);
    EXPECT_TRUE(saved.endsWith("\r\n\r\n"));
    EXPECT_FALSE(QFile::exists(path("2418board.eep.tmp")));
    EXPECT_EQ(f.files.count(), 0u);
}
