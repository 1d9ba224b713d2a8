#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/control_table.h"
#include "app/shipped_files.h"
#include "console/examples.h"
#include "tests/support/form_fixture.h"
#include "tests/support/list_clicks.h"

namespace {
const QString kLongCommand = QString(260, 'L');
}  // namespace

class Examples_test : public Form_test {
  protected:
    // A file with every kind of line the rules have to cope with.
    void write_tricky_file(const QString& name = "M35_cmd.txt") {
        write_file(name,
                   "; notes are never shown\r\n"
                   "1 * AT commands\r\n"
                   "1 AT+CSQ          Signal quality\r\n"
                   "1 AT+CREG?        Registration\r"  // CR only
                   "  1  \r\n"                         // the digit alone
                   "1AT+COPS?         Operator\n"      // no separator, LF only
                   "1 AT   X\r\n"                      // three blanks before 12
                   "1 " +
                       kLongCommand.toLatin1() +
                       "   far\r\n"  // split beyond 255
                       "1 ! note line\r\n"
                       "2 * PC commands\r\n"
                       "2 6157 s          Status\r\n"
                       "2 6157 v          Version\r\n"
                       "2 Alarm  x        begins with A\r\n"
                       "2\r\n");
    }
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < form().List_cmd_list->count(); ++i)
            out << form().List_cmd_list->item(i);
        return out;
    }
    void show_cmds() { QTest::mouseClick(form().Cmd_show_cmd_list, Qt::LeftButton); }
    QString folder() const { return QDir::toNativeSeparators(QDir::currentPath()); }
    Vimbo_form& form() const { return const_cast<Examples_test*>(this)->Form_test::form(); }

    const QStringList at_rows{"* AT commands",
                              "AT+CSQ          Signal quality",
                              "AT+CREG?        Registration",
                              "",
                              "T+COPS?         Operator",
                              "AT   X",
                              kLongCommand + "   far",
                              "! note line"};
    const QStringList pc_rows{"* PC commands", "6157 s          Status", "6157 v          Version",
                              "Alarm  x        begins with A", ""};
};

TEST_F(Examples_test, WithoutAModeShowCmdsOnlyTakesTheEngineId) {
    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    f.Text_module_Id->setText("  M35 ");
    const QColor start = QApplication::palette().color(QPalette::Base);
    EXPECT_EQ(f.Text_Cmd->back_color(), start);
    show_cmds();
    EXPECT_EQ(f.hint(), "Commands file; M35_cmd.txt");
    EXPECT_EQ(f.state.Module_id, "M35");
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.List_cmd_list->count(), 0);
    EXPECT_EQ(f.width(), f.normal_width());
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(f.files.count(), 0u);
    // A colour close to red is no mode either.
    f.Text_Cmd->set_back_color(QColor(255, 0, 1));
    show_cmds();
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.width(), f.normal_width());
}

TEST_F(Examples_test, TheListOpensWithTheModesRowsAndTheWindowReturnsToItsWidth) {
    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    f.Text_module_Id->setText("M35");
    const int normal = f.normal_width();
    ASSERT_EQ(f.width(), normal);
    const int list_width = f.List_cmd_list->width();
    ASSERT_GT(list_width, 0);

    f.Text_Cmd->set_back_color(colors::kRed);
    for (int round = 0; round < 3; ++round) {
        show_cmds();
        EXPECT_FALSE(f.List_cmd_list->isHidden());
        EXPECT_EQ(f.width(), normal + list_width);
        EXPECT_EQ(rows(), at_rows);
        EXPECT_EQ(f.hint(), "Commands file; M35_cmd.txt");
        show_cmds();
        EXPECT_TRUE(f.List_cmd_list->isHidden());
        EXPECT_EQ(f.List_cmd_list->count(), 0);
        EXPECT_EQ(f.width(), normal);
        // Closing leaves the hint of the mouse-down.
        EXPECT_EQ(f.hint(), folder() + QDir::separator() +
                                "M35_cmd.txt   *** Make a backup before editing! ***");
    }
    f.Text_Cmd->set_back_color(colors::kBlue);
    show_cmds();
    EXPECT_EQ(rows(), pc_rows);
    EXPECT_EQ(f.width(), normal + list_width);
    // Edits to the file show at the next opening.
    show_cmds();
    write_file("M35_cmd.txt", "2 6157 i          Inputs\r\n");
    show_cmds();
    EXPECT_EQ(rows(), QStringList{"6157 i          Inputs"});
    show_cmds();
    EXPECT_EQ(f.width(), normal);
    EXPECT_EQ(f.files.count(), 0u);
}

TEST_F(Examples_test, AClickTakesTheRowApartIntoCommandLineAndHint) {
    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    f.Text_module_Id->setText("M35");
    f.Text_Cmd->set_back_color(colors::kRed);
    show_cmds();
    ASSERT_EQ(rows(), at_rows);
    auto click = [&](int row) {
        f.Text_Cmd->setText("before");
        f.set_hint("hint before");
        click_row(f.List_cmd_list, row);
        EXPECT_EQ(f.List_cmd_list->selected_index(), row);
    };
    click(1);
    EXPECT_EQ(f.Text_Cmd->text(), "AT+CSQ");
    EXPECT_EQ(f.hint(), "Signal quality");
    click(0);  // heading
    EXPECT_EQ(f.Text_Cmd->text(), "before");
    EXPECT_EQ(f.hint(), "* AT commands");
    click(7);  // note
    EXPECT_EQ(f.Text_Cmd->text(), "before");
    EXPECT_EQ(f.hint(), "! note line");
    for (int unchanged : {3, 5, 6}) {  // empty, three blanks too early, split beyond 255
        SCOPED_TRACE(unchanged);
        click(unchanged);
        EXPECT_EQ(f.Text_Cmd->text(), "before");
        EXPECT_EQ(f.hint(), "hint before");
    }
    click(4);
    EXPECT_EQ(f.Text_Cmd->text(), "T+COPS?");
    EXPECT_EQ(f.hint(), "Operator");
    // Moving the selection with the arrow keys counts as a click.
    QTest::keyClick(f.List_cmd_list, Qt::Key_Up);
    QTest::keyClick(f.List_cmd_list, Qt::Key_Up);
    EXPECT_EQ(f.List_cmd_list->selected_index(), 2);
    EXPECT_EQ(f.Text_Cmd->text(), "AT+CREG?");
    EXPECT_EQ(f.hint(), "Registration");
    EXPECT_TRUE(port_.writes.empty());
}

TEST_F(Examples_test, DoubleClickSendsControllerCommandsAndEnterSendsTheCommandLine) {
    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    f.Text_module_Id->setText("M35");
    f.Text_Cmd->set_back_color(colors::kBlue);
    show_cmds();
    ASSERT_EQ(rows(), pc_rows);

    // Port closed: the click part runs, nothing is sent and nothing more shown.
    f.set_title("before");
    double_click_row(f.List_cmd_list, 1);
    double_click_row(f.List_cmd_list, 3);
    QTest::keyClick(f.List_cmd_list, Qt::Key_Return);
    EXPECT_EQ(f.Text_Cmd->text(), "Alarm  x");
    EXPECT_EQ(f.title(), "before");
    EXPECT_TRUE(port_.writes.empty());

    open_port(3);
    take_written();
    f.set_title("before");
    double_click_row(f.List_cmd_list, 1);
    ASSERT_EQ(port_.writes.size(), 1u);
    EXPECT_EQ(take_written(), "6157 s\r");
    EXPECT_EQ(f.hint(), "Status");
    double_click_row(f.List_cmd_list, 2);
    EXPECT_EQ(take_written(), "6157 v\r");
    // A heading shows in the hint and is never sent.
    double_click_row(f.List_cmd_list, 0);
    EXPECT_EQ(take_written(), "");
    EXPECT_EQ(f.hint(), "* PC commands");
    // The empty row does nothing.
    f.set_hint("x");
    double_click_row(f.List_cmd_list, 4);
    EXPECT_EQ(take_written(), "");
    EXPECT_EQ(f.hint(), "x");
    EXPECT_EQ(f.title(), "before");
    // A row beginning with "A" only sets the title, after the click took it apart...
    double_click_row(f.List_cmd_list, 3);
    EXPECT_EQ(take_written(), "");
    EXPECT_EQ(f.Text_Cmd->text(), "Alarm  x");
    EXPECT_EQ(f.title(), "Use command [Send] for At codes....");
    // ...and Enter sends the command line whatever the row.
    QTest::keyClick(f.List_cmd_list, Qt::Key_Return);
    EXPECT_EQ(take_written(), "Alarm  x\r");
    click_row(f.List_cmd_list, 0);
    f.Text_Cmd->setText("typed");
    QTest::keyClick(f.List_cmd_list, Qt::Key_Return);
    EXPECT_EQ(take_written(), "typed\r");
    // Other keys send nothing.
    QTest::keyClick(f.List_cmd_list, Qt::Key_A);
    EXPECT_EQ(take_written(), "");
}

TEST_F(Examples_test, MouseDownBuildsThePathAndTheRightClickOpensTheEditor) {
    // A stand-in xdg-open, so that the command is known whatever this machine has.
    QTemporaryDir tools;
    ASSERT_TRUE(tools.isValid());
    const QString xdg_open = tools.filePath("xdg-open");
    {
        QFile script(xdg_open);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 0\n");
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    const QByteArray old_path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tools.path()) + ":" + old_path);

    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    // The engine id of the last opening counts, not the box: at first there is none.
    f.Text_module_Id->setText("M35");
    QTest::mouseClick(f.Cmd_show_cmd_list, Qt::RightButton);
    const QString none_yet = folder() + QDir::separator() + "_cmd.txt";
    EXPECT_EQ(f.state.Cmd_file_path, none_yet);
    EXPECT_EQ(f.hint(), none_yet + "   *** Make a backup before editing! ***");
    ASSERT_EQ(editor_.started.size(), 1u);
    EXPECT_EQ(editor_.started[0], (QStringList{xdg_open, none_yet}));
    EXPECT_TRUE(f.List_cmd_list->isHidden());

    f.Text_Cmd->set_back_color(colors::kRed);
    show_cmds();
    ASSERT_FALSE(f.List_cmd_list->isHidden());
    const QString m35 = folder() + QDir::separator() + "M35_cmd.txt";
    QTest::mouseClick(f.Cmd_show_cmd_list, Qt::RightButton);
    EXPECT_EQ(f.hint(), m35 + "   *** Make a backup before editing! ***");
    ASSERT_EQ(editor_.started.size(), 2u);
    EXPECT_EQ(editor_.started[1], (QStringList{xdg_open, m35}));
    EXPECT_FALSE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.width(), f.normal_width() + f.List_cmd_list->width());

    // Other buttons build the path too, without the editor; a failed start changes nothing.
    f.Text_module_Id->setText("MC39");
    QTest::mouseClick(f.Cmd_show_cmd_list, Qt::MiddleButton);
    EXPECT_EQ(f.hint(), m35 + "   *** Make a backup before editing! ***");
    EXPECT_EQ(editor_.started.size(), 2u);
    editor_.can_start = false;
    QTest::mouseClick(f.Cmd_show_cmd_list, Qt::RightButton);
    EXPECT_EQ(editor_.started.size(), 3u);
    EXPECT_FALSE(f.List_cmd_list->isHidden());
    EXPECT_TRUE(dialogs_.boxes.empty());
    qputenv("PATH", old_path);
}

TEST_F(Examples_test, AMissingFileShowsTheBoxAndLeavesTheListHidden) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText(" W218 ");
    const QString box =
        "File;  ' W218_cmd.txt ' Not found...\r\n\r\nThe file should be in " + folder() +
        " Folder!\r\n\r\nAsk us if you can't find the cmd file\r\nand we will mail you (a "
        "new) one.";
    EXPECT_EQ(Examples::not_found_text("W218_cmd.txt", folder()), box);
    // Reported with or without a mode.
    for (const QColor& mode :
         {QApplication::palette().color(QPalette::Base), colors::kRed, colors::kBlue}) {
        f.Text_Cmd->set_back_color(mode);
        show_cmds();
        ASSERT_FALSE(dialogs_.boxes.empty());
        EXPECT_EQ(dialogs_.boxes.back(), box);
        EXPECT_EQ(f.hint(), "Commands file; W218_cmd.txt");
        EXPECT_TRUE(f.List_cmd_list->isHidden());
        EXPECT_EQ(f.width(), f.normal_width());
    }
    EXPECT_EQ(dialogs_.boxes.size(), 3u);
    // A folder of that name is no file either.
    QDir().mkdir("W218_cmd.txt");
    show_cmds();
    EXPECT_EQ(dialogs_.boxes.size(), 4u);
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.files.count(), 0u);
}

TEST_F(Examples_test, LoadingTheListLeavesOtherOpenFilesOpen) {
    Vimbo_form& f = make_form();
    f.show();
    write_tricky_file();
    Tracked_file other(f.files, path("partial.eep"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    // Opening, the no-mode path, the missing file and closing.
    f.Text_module_Id->setText("M35");
    show_cmds();
    f.Text_Cmd->set_back_color(colors::kRed);
    show_cmds();
    show_cmds();
    f.Text_module_Id->setText("W218");
    show_cmds();
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_TRUE(other.isOpen());
    EXPECT_EQ(f.files.count(), 1u);
    EXPECT_EQ(other.write("still writable"), 14);
}

TEST_F(Examples_test, TheShippedExamplesAreUsedWhenTheFolderHasNoOwnCopy) {
    const auto only = [](const QStringList& present) {
        return [present](const QString& p) { return present.contains(p); };
    };
    // The technician's own copy in the current folder wins over both shipped places.
    EXPECT_EQ(examples_file_to_read("M35_cmd.txt", "/w/build/bin",
                                    only({"M35_cmd.txt", "/w/build/bin/M35_cmd.txt"})),
              "M35_cmd.txt");
    EXPECT_EQ(
        examples_file_to_read("M35_cmd.txt", "/w/build/bin", only({"/w/build/bin/M35_cmd.txt"})),
        "/w/build/bin/M35_cmd.txt");
    EXPECT_EQ(examples_file_to_read("M35_cmd.txt", "/usr/bin",
                                    only({"/usr/share/vimbo/examples/M35_cmd.txt"})),
              "/usr/share/vimbo/examples/M35_cmd.txt");
    // Nowhere: the bare name, which the "not found" box names.
    EXPECT_EQ(examples_file_to_read("W218_cmd.txt", "/usr/bin", only({})), "W218_cmd.txt");

    // The window, in a folder without examples, lists the copy beside the test program.
    Vimbo_form& f = make_form();
    f.show();
    ASSERT_FALSE(QFile::exists("M35_cmd.txt"));
    ASSERT_TRUE(QFile::exists(QCoreApplication::applicationDirPath() + "/M35_cmd.txt"));
    f.Text_module_Id->setText("M35");
    f.Text_Cmd->set_back_color(colors::kRed);
    show_cmds();
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_FALSE(f.List_cmd_list->isHidden());
    EXPECT_GT(f.List_cmd_list->count(), 0);
}
