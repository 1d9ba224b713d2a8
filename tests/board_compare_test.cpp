#include <QDir>
#include <QTest>
#include <algorithm>

#include "app/backup_viewer.h"
#include "app/backup_window.h"
#include "app/board_compare.h"
#include "app/control_table.h"
#include "eeprom/eep_format.h"
#include "tests/backup_images.h"
#include "tests/eeprom_board_fixture.h"
#include "upload/write_check.h"

// The compare on the virtual clock against a scripted board: the read's wire bytes and
// times, into memory, then the verdict.
class Board_compare_test : public Eeprom_board_test {
  protected:
    Vimbo_form& ready(int size) {
        Vimbo_form& f = Eeprom_board_test::ready(size);
        f.List_1->clear_items();
        return f;
    }
    void right_click() { QTest::mouseClick(form().Cmd_write_eeprom, Qt::RightButton); }
    void sign_on_at(std::int64_t t) {
        clock_.at(t, [this] { board().deliver("SMS CONTROLLER\r\n#\xBE\x01\r\n"); });
    }
    // The writes since the last call.
    std::vector<Sent> sent() {
        std::vector<Sent> all = Eeprom_board_test::sent();
        std::vector<Sent> out(all.begin() + long(taken_), all.end());
        taken_ = all.size();
        return out;
    }
    // What Read EEP sends after a sign-on at t: 0xB3, then a "#" per line.
    static std::vector<Sent> read_bytes(std::int64_t t, int lines) {
        std::vector<Sent> all{{t + 500, "\xB3"}};
        for (int k = 0; k < lines; ++k) all.push_back({t + 1000 + k * 120, "#"});
        return all;
    }
    void expect_idle() {
        Vimbo_form& f = form();
        EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
        EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
        EXPECT_FALSE(f.board_compare().running());
        EXPECT_FALSE(f.state.Abort_request);
        EXPECT_LT(f.Label1->progress(), 0);
        EXPECT_EQ(f.files.count(), 0u);
        EXPECT_FALSE(clock_.stalled());
    }
    QStringList files_here() const { return QDir(path(".")).entryList(QDir::Files, QDir::Name); }

    std::size_t taken_ = 0;
};

TEST_F(Board_compare_test, AMatchingBoardIsReadAsReadEepReadsItIntoMemory) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", backup_images::backup("2418.eep", board_.image));
    f.state.Eeprom_file = "2418.eep";
    QString caption, hint, title;
    QColor color;
    clock_.at(500, [&] {
        caption = f.Cmd_write_eeprom->caption();
        color = f.Cmd_write_eeprom->back_color();
        hint = f.hint();
        title = f.title();
        // The other transfers refuse while the compare runs.
        QTest::mouseClick(f.Cmd_update_vimbo, Qt::LeftButton);
        QTest::mouseClick(f.Cmd_read_eeprom, Qt::LeftButton);
    });
    sign_on_at(1000);
    right_click();

    EXPECT_EQ(sent(), read_bytes(1000, 64));
    EXPECT_EQ(caption, "BUSY!");
    EXPECT_EQ(color, QColor(192, 0, 192));
    EXPECT_EQ(hint, " *** Press [ Initialize ] if not yet done! ***");
    EXPECT_EQ(title, "Comparing the board with 2418.eep");
    EXPECT_TRUE(dialogs_.inputs.empty());  // the read's name prompt never came
    QStringList expected{"SMS CONTROLLER"};
    for (int k = 1; k <= 64; ++k) expected << board_.dump_line(k);
    expected << "Board matches 2418.eep: 1024 bytes identical.";
    EXPECT_EQ(log_lines(), expected);
    EXPECT_EQ(f.title(), "Board matches 2418.eep: 1024 bytes identical.");
    EXPECT_EQ(files_here(), QStringList{"2418.eep"});  // no file written
    EXPECT_FALSE(f.backup_viewer().has_window());
    expect_idle();

    // The picked file, when the read named none; a 1284 board of 256 lines.
    f.List_1->clear_items();
    board_.image = Eeprom_board_script::make_image(4096, 9);
    write_file("8800 spare.eep", backup_images::backup("8800.eep", board_.image));
    f.state.Eeprom_file.clear();
    f.state.Chosen_file = path("8800 spare.eep");
    const std::int64_t t = clock_.now_ms() + 100;
    sign_on_at(t);
    right_click();
    EXPECT_EQ(sent(), read_bytes(t, 256));
    EXPECT_EQ(log_lines().last(), "Board matches 8800 spare.eep: 4096 bytes identical.");
    EXPECT_EQ(f.state.Eeprom_file, "");
    expect_idle();
}

TEST_F(Board_compare_test, ADifferingBoardIsToldAndShownInTheBackupWindow) {
    Vimbo_form& f = ready(1024);
    QByteArray file = board_.image;
    file[0x123] = char(0x5A);
    board_.image[0x123] = char(0x00);
    file[0x200] = char(~board_.image[0x200]);
    file[0x201] = char(~board_.image[0x201]);
    write_file("2418.eep", backup_images::backup("2418.eep", file));
    f.state.Eeprom_file = "2418.eep";
    sign_on_at(1000);
    right_click();
    const QString verdict =
        "Board differs from 2418.eep: 3 bytes in 2 records, first at 0123 (file 5A, board 00).";
    EXPECT_EQ(log_lines().last(), verdict);
    EXPECT_EQ(f.title(), verdict);
    ASSERT_TRUE(f.backup_viewer().has_window());
    Backup_window& w = f.backup_viewer().window();
    EXPECT_FALSE(w.isHidden());
    EXPECT_EQ(w.windowTitle(), "VIMBO backup: 2418.eep against Board");
    EXPECT_EQ(w.count_text(), "3 bytes differ in 2 records (2 runs)");
    EXPECT_EQ(w.position_text(), "Difference 1 of 2 at 0123");
    EXPECT_TRUE(w.save_button()->isVisibleTo(&w));
    expect_idle();
}

TEST_F(Board_compare_test, NoBackupOrAFaultyOneIsRefusedAndNothingIsRead) {
    Vimbo_form& f = ready(1024);
    board().deliver("#\xBE\r");  // a sign-on waiting would let a read start at once
    clock_.run_pending();
    right_click();
    EXPECT_EQ(log_lines(), QStringList{Board_compare::refusal(no_backup_named())});
    EXPECT_EQ(f.title(), "Compare refused: " + no_backup_named());

    QByteArray faulty = backup_images::backup("2418.eep", board_.image);
    faulty.replace("#10001000", "#10001100");
    write_file("2418.eep", faulty);
    f.state.Eeprom_file = "2418.eep";
    right_click();
    EXPECT_TRUE(log_lines().last().startsWith("Compare refused: 2418.eep line 2: checksum "));
    clock_.advance(2000);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(files_here(), QStringList{"2418.eep"});
    expect_idle();
}

// A cancel, a silent board and a lost port end the compare with a reason, and no verdict.
TEST_F(Board_compare_test, CancelSilenceAndPortLossEndItWithoutAResult) {
    Vimbo_form& f = ready(1024);
    write_file("2418.eep", backup_images::backup("2418.eep", board_.image));
    f.state.Eeprom_file = "2418.eep";
    const QString no_result = "Compare with 2418.eep stopped: no result.";

    // A left click on the busy button during the line loop: CAN goes to the board at once.
    sign_on_at(1000);
    clock_.at(2000 + 5 * 120 + 50, [&] { QTest::mouseClick(f.Cmd_write_eeprom, Qt::LeftButton); });
    right_click();
    std::vector<Sent> expected = read_bytes(1000, 6);
    expected.push_back({2000 + 5 * 120 + 50, "\x18"});
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(board_.cancels, 1);
    EXPECT_EQ(log_lines().last(), no_result);
    EXPECT_FALSE(log_lines().join("\n").contains("Board "));
    expect_idle();

    // A right click on the busy button in the sign-on wait: nothing was sent at all.
    std::int64_t t = clock_.now_ms();
    clock_.at(t + 300, [&] { right_click(); });
    right_click();
    EXPECT_EQ(clock_.now_ms(), t + 300);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t + 300, "\x18"}}));
    EXPECT_EQ(log_lines().last(), no_result);
    expect_idle();

    // The board falls silent at line 10: one reply timeout, then the compare ends.
    f.List_1->clear_items();
    board_.silent = {10};
    t = clock_.now_ms() + 100;
    sign_on_at(t);
    right_click();
    EXPECT_EQ(sent(), read_bytes(t, 10));
    EXPECT_EQ(clock_.now_ms(), t + 1000 + 9 * 120 + 5000);
    EXPECT_EQ(log_lines().mid(log_lines().size() - 3),
              (QStringList{"RQMxx do not responde with in delay",
                           "EEPROM read stopped: the board did not answer within 5 seconds.",
                           no_result}));
    expect_idle();
    board_.silent.clear();

    // The port goes away after line 3.
    board_.unplug_after = 3;
    t = clock_.now_ms() + 100;
    sign_on_at(t);
    right_click();
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              (QStringList{"EEPROM read stopped: the port was lost.", no_result}));
    EXPECT_FALSE(f.MSerial.PortOpen());
    expect_idle();
}
