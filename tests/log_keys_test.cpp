#include <QApplication>
#include <QClipboard>
#include <QSettings>
#include <QTest>

#include "app/line_list.h"
#include "app/log_find.h"
#include "app/log_keys.h"
#include "app/log_search.h"
#include "tests/support/form_fixture.h"

namespace {

Line_store store_of(const QStringList& lines) {
    Line_store store;
    for (const QString& line : lines) store.append(line);
    return store;
}

}  // namespace

TEST(Log_search, FindsWithinOneLineIgnoringCaseAndGoesRoundTheEnds) {
    const Line_store s =
        store_of({"+CSQ: 21,0", "OK", "ERROR", "ok then", QString::fromLatin1("Caf\xC9")});
    EXPECT_EQ(find_row(s, "ok", 0, true).row, 1);
    EXPECT_EQ(find_row(s, "OK", 2, true).row, 3);
    EXPECT_FALSE(find_row(s, "OK", 2, true).wrapped);
    EXPECT_EQ(find_row(s, "ok", 4, true).row, 1);
    EXPECT_TRUE(find_row(s, "ok", 4, true).wrapped);
    EXPECT_EQ(find_row(s, "ok", 5, true).row, 1);  // beyond the end: from the top
    EXPECT_TRUE(find_row(s, "ok", 5, true).wrapped);
    EXPECT_EQ(find_row(s, "ok", 2, false).row, 1);
    EXPECT_FALSE(find_row(s, "ok", 2, false).wrapped);
    EXPECT_EQ(find_row(s, "ok", 0, false).row, 3);
    EXPECT_TRUE(find_row(s, "ok", 0, false).wrapped);
    EXPECT_EQ(find_row(s, "ok", -1, false).row, 3);
    EXPECT_EQ(find_row(s, "ok", 1, true).row, 1);  // the start row itself counts
    // A match never spans two lines, however they lie in the buffer.
    EXPECT_EQ(find_row(s, "okerror", 0, true).row, -1);
    EXPECT_EQ(find_row(s, "0OK", 0, true).row, -1);
    EXPECT_EQ(find_row(s, QString::fromLatin1("caf\xE9"), 0, true).row,
              4);  // Latin-1 letters fold too
    EXPECT_EQ(find_row(s, "", 0, true).row, -1);
    EXPECT_EQ(find_row(s, QString(QChar(0x263A)), 0, true).row, -1);
    EXPECT_EQ(find_row(Line_store(), "ok", 0, true).row, -1);
    EXPECT_EQ(find_row(s, "21,0", 3, true).row, 0);
    EXPECT_EQ(find_row(s, "+CSQ: 21,0 and more", 0, true).row, -1);
}

class Log_keys_test : public Form_test {
  protected:
    Vimbo_form& with_lines(const QStringList& lines) {
        Vimbo_form& f = make_form();
        f.show();
        for (const QString& line : lines) {
            f.log(line);
            clock_.advance(250);
        }
        f.List_1->setFocus();
        return f;
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        QTest::keyClick(form().List_1, Qt::Key(k), m);
    }
};

TEST_F(Log_keys_test, FindFollowsTheTypingStepsBothWaysGoesRoundAndSaysNotFound) {
    Vimbo_form& f = with_lines({"ATI", "OK", "AT+CSQ", "+CSQ: 21,0", "OK", "AT+COPS?"});
    f.List_1->set_selected_index(0);
    key(Qt::Key_F);
    Log_find& find = f.log_keys().find_window();
    ASSERT_FALSE(find.isHidden());
    QTest::keyClicks(find.field(), "c");
    EXPECT_EQ(f.List_1->selected_index(), 2);  // AT+CSQ
    QTest::keyClicks(find.field(), "op");
    EXPECT_EQ(f.List_1->selected_index(), 5);  // AT+COPS?
    QTest::keyClick(find.field(), Qt::Key_Backspace);
    QTest::keyClick(find.field(), Qt::Key_Backspace);
    QTest::keyClicks(find.field(), "sq");
    EXPECT_EQ(f.List_1->selected_index(), 2);  // back to the first match from the start
    EXPECT_EQ(find.status(), "");
    QTest::keyClick(find.field(), Qt::Key_F3);
    EXPECT_EQ(f.List_1->selected_index(), 3);
    QTest::keyClick(find.field(), Qt::Key_Return);  // Enter is the next one too
    EXPECT_EQ(f.List_1->selected_index(), 2);
    EXPECT_EQ(find.status(), "from the top again");
    QTest::keyClick(find.field(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(f.List_1->selected_index(), 3);
    EXPECT_EQ(find.status(), "from the bottom again");
    // F3 and Shift+F3 work from the log as well.
    f.List_1->setFocus();
    key(Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(f.List_1->selected_index(), 2);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(f.List_1->selected_index(), 3);
    // The found line is in view.
    f.List_1->refresh_now();
    EXPECT_LE(f.List_1->top_row(), 3);
    QTest::keyClicks(find.field(), "x");
    EXPECT_EQ(find.status(), Log_find::kNotFound);
    EXPECT_EQ(f.List_1->selected_index(), 3);  // the selection stays
    QTest::keyClick(find.field(), Qt::Key_Escape);
    EXPECT_TRUE(find.isHidden());
}

TEST_F(Log_keys_test, FindOverALongLogBringsTheFoundLineIntoView) {
    Vimbo_form& f = make_form();
    for (int i = 0; i < 5000; ++i) f.log(QStringLiteral("line %1").arg(i));
    f.log(QStringLiteral("needle"));
    for (int i = 0; i < 5000; ++i) f.log(QStringLiteral("line %1").arg(i));
    f.List_1->set_selected_index(0);
    f.log_keys().find();
    QTest::keyClicks(f.log_keys().find_window().field(), "NEEDLE");
    EXPECT_EQ(f.List_1->selected_index(), 5000);
    EXPECT_LE(f.List_1->top_row(), 5000);
    EXPECT_GT(f.List_1->top_row() + 40, 5000);
}

TEST_F(Log_keys_test, CopyTakesTheSelectedLineOrTheWholeLogAsShown) {
    Vimbo_form& f = with_lines({"first", "second", "third"});
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    f.List_1->set_selected_index(1);
    key(Qt::Key_C);
    EXPECT_EQ(clipboard->text(), "second");
    key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text(), "first\nsecond\nthird\n");
    key(Qt::Key_T);
    key(Qt::Key_C);
    EXPECT_EQ(clipboard->text(), "09:30:00.250 second");
    f.List_1->set_selected_index(-1);
    key(Qt::Key_C);  // nothing selected: the clipboard keeps what it had
    EXPECT_EQ(clipboard->text(), "09:30:00.250 second");
}

TEST_F(Log_keys_test, TimesShowEachLinesArrivalToTheMillisecond) {
    Vimbo_form& f = with_lines({"OK"});
    open_port(3);
    clock_.advance(7);
    board().deliver("+CSQ: 21,0\r");
    clock_.run_pending();
    EXPECT_FALSE(f.List_1->show_times());
    EXPECT_EQ(f.List_1->shown_text(0), "OK");
    key(Qt::Key_T);
    ASSERT_TRUE(f.List_1->show_times());
    EXPECT_EQ(f.List_1->shown_text(0), "09:30:00.000 OK");
    EXPECT_EQ(f.List_1->shown_text(2), "09:30:00.257 +CSQ: 21,0");
    EXPECT_EQ(f.List_1->item(2), "+CSQ: 21,0");  // the line itself is as received
    key(Qt::Key_T);
    EXPECT_EQ(f.List_1->shown_text(0), "OK");
}

TEST_F(Log_keys_test, SaveWritesTheWholeLogUnderTheProposedNameInOneGo) {
    Vimbo_form& f = with_lines({"first", QString::fromLatin1("caf\xE9"), ""});
    QString proposed;
    f.log_keys().ask_save_name = [&](const QString& name) {
        proposed = name;
        return name;
    };
    clock_.advance(3000);
    key(Qt::Key_S);
    EXPECT_EQ(proposed, path("vimbo-log-20261210-093003.txt"));
    EXPECT_EQ(read_file("vimbo-log-20261210-093003.txt"), "first\r\ncaf\xE9\r\n\r\n");
    EXPECT_TRUE(dialogs_.boxes.empty());

    // With the times shown they are saved too; Cancel saves nothing.
    key(Qt::Key_T);
    f.log_keys().ask_save_name = [&](const QString&) { return path("timed.txt"); };
    key(Qt::Key_S);
    EXPECT_EQ(read_file("timed.txt").left(20), "09:30:00.000 first\r\n");
    f.log_keys().ask_save_name = [&](const QString&) { return QString(); };
    key(Qt::Key_S);
    EXPECT_TRUE(dialogs_.boxes.empty());

    // A failure says why and leaves the file that was there.
    write_file("kept.txt", "old");
    f.log_keys().ask_save_name = [&](const QString&) { return path("no-such-folder/x.txt"); };
    key(Qt::Key_S);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_TRUE(dialogs_.boxes[0].startsWith(
        "The log was not saved to " + QDir::toNativeSeparators(path("no-such-folder/x.txt")) +
        ":\r\n\r\n"));
    EXPECT_EQ(read_file("kept.txt"), "old");
}

TEST_F(Log_keys_test, FontSizeStepsAndIsRememberedForTheUser) {
    Vimbo_form& f = with_lines({"OK"});
    const int normal = f.List_1->font().pointSize();
    EXPECT_EQ(normal, 8);
    key(Qt::Key_Plus);
    key(Qt::Key_Equal);
    EXPECT_EQ(f.List_1->font().pointSize(), 10);
    EXPECT_EQ(f.List_1->font().family(), "Courier New");
    key(Qt::Key_Minus);
    EXPECT_EQ(f.List_1->font().pointSize(), 9);

    make_form();  // a restart keeps the user's size
    EXPECT_EQ(form().List_1->font().pointSize(), 9);
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, "vimbo", "vimbo")
                  .value("log/font_points"),
              9);
    form().List_1->setFocus();
    key(Qt::Key_0);
    EXPECT_EQ(form().List_1->font().pointSize(), normal);
    for (int i = 0; i < 20; ++i) key(Qt::Key_Minus);
    EXPECT_EQ(form().List_1->font().pointSize(), Log_keys::kSmallestPoints);
    for (int i = 0; i < 40; ++i) key(Qt::Key_Plus);
    EXPECT_EQ(form().List_1->font().pointSize(), Log_keys::kLargestPoints);
    EXPECT_EQ(form().List_cmd_list->font().pointSize(), normal);  // the log's own
}
