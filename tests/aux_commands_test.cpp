#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/aux_commands.h"
#include "app/control_table.h"
#include "app/record_menu.h"
#include "serial/port_names.h"
#include "tests/support/form_fixture.h"

namespace {

// Sets an environment variable while this lives (unset when value is null).
class Scoped_env {
  public:
    Scoped_env(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    ~Scoped_env() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// A folder of stand-in programs, to be the whole PATH of a test.
class Fake_programs {
  public:
    QString add(const QString& name) {
        const QString file = dir_.filePath(name);
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\nexit 0\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }
    QByteArray path() const { return QFile::encodeName(dir_.path()); }

  private:
    QTemporaryDir dir_;
};

QString info_file_in_build_tree() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vimbo_info.txt"));
}

}  // namespace

class Aux_commands_test : public Form_test {
  protected:
    Aux_commands& aux() { return form().aux_commands(); }
    void from_board(const QByteArray& bytes) {
        board().deliver(bytes);
        clock_.run_pending();
    }
};

TEST_F(Aux_commands_test, SeparatorLineWithTheTimeOfDayTitleAndHint) {
    Vimbo_form& f = make_form();
    f.log("first");
    aux().time_of_day = [] { return QTime(13, 5, 9); };
    aux().locale = QLocale::c();
    QTest::mouseClick(f.Cmd_reserve_1, Qt::LeftButton);
    EXPECT_EQ(f.title(), "Resume [AT+] mode again before ending the program....");
    EXPECT_EQ(log_lines(),
              (QStringList{"first", "================================= 13:05:09 ====="}));
    EXPECT_EQ(f.List_1->selected_index(), 1);
    EXPECT_EQ(f.hint(), "DBclick on the list to clear the window...");

    aux().locale = QLocale(QLocale::English, QLocale::UnitedStates);
    aux().time_of_day = [] { return QTime(23, 59, 58); };
    QTest::mouseClick(f.Cmd_reserve_1, Qt::LeftButton);
    EXPECT_EQ(log_lines().last(), "================================= 11:59:58 PM =====");
    EXPECT_EQ(f.List_1->selected_index(), 2);

    // The real clock in the system's format: only the frame is known.
    Vimbo_form& g = make_form();
    QTest::mouseClick(g.Cmd_reserve_1, Qt::LeftButton);
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(QRegularExpression("^={33} \\S.*\\S =====$").match(log_lines()[0]).hasMatch())
        << log_lines()[0].toStdString();
}

TEST_F(Aux_commands_test, TimeOfDayUsesTheLocaleWithSecondsAndWithoutTheTimeZone) {
    EXPECT_EQ(time_of_day_format("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(time_of_day_format("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(time_of_day_format("H:mm:ss (t)"), "H:mm:ss");
    EXPECT_EQ(time_of_day_format("h:mm:ss AP tttt"), "h:mm:ss AP");
    EXPECT_EQ(time_of_day_format("HH 'Uhr' mm 'at' ss t"), "HH 'Uhr' mm 'at' ss");
    const QTime t(9, 5, 7);
    EXPECT_EQ(time_of_day_text(QLocale::c(), t), "09:05:07");
    EXPECT_EQ(time_of_day_text(QLocale(QLocale::German, QLocale::Germany), t), "09:05:07");
    EXPECT_EQ(time_of_day_text(QLocale(QLocale::English, QLocale::UnitedStates), t), "9:05:07 AM");
    EXPECT_EQ(time_of_day_text(QLocale(QLocale::Chinese, QLocale::China), t), "09:05:07");
    // Times that need characters beyond the log's 8 bits fall back to HH:mm:ss.
    EXPECT_EQ(time_of_day_text(QLocale(QLocale::Japanese, QLocale::Japan), t), "09:05:07");
    EXPECT_EQ(time_of_day_text(QLocale(QLocale::Persian, QLocale::Iran), t), "09:05:07");
    EXPECT_EQ(separator_line("x"), "================================= x =====");
}

TEST_F(Aux_commands_test, ClearReceiveTwiceClosesThenReopensAndKeepsThePartialLine) {
    Vimbo_form& f = make_form();
    open_port(3);
    f.List_1->clear_items();
    from_board("par");
    ASSERT_EQ(f.Cmd_reserve_2->caption(), "rx");

    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_FALSE(port_.open);
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kRed);
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "");
    EXPECT_EQ(f.state.Rx_partial, "par");
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(port_.open_count, 1);

    // The red button makes the second click an opening, from the boxes.
    f.Text_com_number->setText("4");
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(port_.open_count, 2);
    EXPECT_EQ(port_.opened_device, device_for_com_port(4));
    EXPECT_EQ(log_lines(), QStringList{"COMM:4 9600b/s.N.8.1..."});
    EXPECT_TRUE(f.Cmd_com_usb->has_normal_face());
    EXPECT_EQ(f.title(), "");
    // What arrives now completes the line begun before the closing.
    from_board("tial\r\n");
    EXPECT_EQ(log_lines().last(), "partial");

    // Port closed and the button not pure red (orange-red is not): only the caption.
    f.MSerial.set_PortOpen(false);
    f.Cmd_com_usb->set_back_color(colors::kOrangeRed);
    f.Cmd_reserve_2->set_caption("rx");
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "");
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_EQ(port_.open_count, 2);
    EXPECT_EQ(log_lines().size(), 2);

    // Pure red painted by another command (no port at Initialize) opens as well; an opening
    // that fails takes its own failure path.
    f.Cmd_com_usb->set_back_color(colors::kRed);
    f.Text_com_number->setText("0");
    f.Cmd_reserve_2->set_caption("rx");
    QTest::mouseClick(f.Cmd_reserve_2, Qt::LeftButton);
    EXPECT_EQ(log_lines()[log_lines().size() - 2], "Invalid COM port number!");
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kOrangeRed);
    EXPECT_EQ(f.Cmd_reserve_2->caption(), "rx");  // the opening path does not touch it
}

TEST_F(Aux_commands_test, DoubleClickEmptiesTheLogAndTheNextLineComesFirst) {
    Vimbo_form& f = make_form();
    open_port(3);
    from_board("one\rtwo\rth");
    ASSERT_EQ(log_lines().size(), 3);
    QTest::mouseDClick(f.List_1->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(f.List_1->selected_index(), -1);
    from_board("ree\r");
    EXPECT_EQ(log_lines(), QStringList{"three"});
    EXPECT_EQ(f.List_1->selected_index(), 0);
    // A right double click is no double click.
    QTest::mouseDClick(f.List_1->viewport(), Qt::RightButton, {}, QPoint(10, 5));
    EXPECT_EQ(log_lines().size(), 1);
}

TEST_F(Aux_commands_test, RightMouseDownShowsTheSelectedLineInTheHintLine) {
    Vimbo_form& f = make_form();
    f.log("COMM:3 9600b/s.N.8.1...");
    f.log("+CSQ: 21,0");
    f.set_hint("old hint");
    QTest::mousePress(f.List_1->viewport(), Qt::LeftButton, {},
                      QPoint(10, 5000));  // below the rows
    EXPECT_EQ(f.hint(), "old hint");
    QTest::mouseRelease(f.List_1->viewport(), Qt::LeftButton, {}, QPoint(10, 5000));
    QTest::mousePress(f.List_1->viewport(), Qt::RightButton, {}, QPoint(10, 5000));
    EXPECT_EQ(f.hint(), "+CSQ: 21,0");
    f.List_1->set_selected_index(0);
    QTest::mousePress(f.List_1->viewport(), Qt::RightButton, {}, QPoint(10, 5000));
    EXPECT_EQ(f.hint(), "COMM:3 9600b/s.N.8.1...");
    EXPECT_EQ(f.List_1->selected_index(), 0);  // the selection does not change

    // After the log was emptied: an empty hint line.
    f.List_1->clear_items();
    QTest::mousePress(f.List_1->viewport(), Qt::RightButton, {}, QPoint(10, 5));
    EXPECT_EQ(f.hint(), "");
}

TEST_F(Aux_commands_test, ReadInfosOpensTheManualBesideTheProgramInTheEditor) {
    Vimbo_form& f = make_form();
    ASSERT_TRUE(QFile::exists(info_file_in_build_tree()));
    const QString title = f.title();
    {
        Fake_programs programs;
        const QString xdg_open = programs.add("xdg-open");
        Scoped_env path("PATH", programs.path());
        QTest::mouseClick(f.Cmd_read_infos, Qt::LeftButton);
        ASSERT_EQ(editor_.started.size(), 1u);
        EXPECT_EQ(editor_.started[0], (QStringList{xdg_open, info_file_in_build_tree()}));

        // An editor that cannot be started: nothing is shown.
        editor_.can_start = false;
        QTest::mouseClick(f.Cmd_read_infos, Qt::LeftButton);
        EXPECT_EQ(editor_.started.size(), 2u);
    }
    {
        // No desktop handler: the user's editor in a terminal window.
        Fake_programs programs;
        const QString xterm = programs.add("xterm");
        Scoped_env path("PATH", programs.path());
        Scoped_env visual("VISUAL", "nano");
        editor_.can_start = true;
        QTest::mouseClick(f.Cmd_read_infos, Qt::LeftButton);
        ASSERT_EQ(editor_.started.size(), 3u);
        EXPECT_EQ(editor_.started[2],
                  (QStringList{xterm, "-e", "nano", info_file_in_build_tree()}));
    }
    {
        // Nothing to start with: nothing happens and nothing is shown.
        Fake_programs programs;
        Scoped_env path("PATH", programs.path());
        Scoped_env visual("VISUAL", QByteArray());
        Scoped_env editor("EDITOR", QByteArray());
        QTest::mouseClick(f.Cmd_read_infos, Qt::LeftButton);
        EXPECT_EQ(editor_.started.size(), 3u);
    }
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(f.title(), title);
    EXPECT_EQ(f.hint(), "");
    EXPECT_TRUE(log_lines().isEmpty());
}

TEST_F(Aux_commands_test, InfoFileIsFoundBesideTheProgramElseInShare) {
    const auto only = [](const QString& present) {
        return [present](const QString& p) { return p == present; };
    };
    EXPECT_EQ(info_file_path("/w/build/bin", only("/w/build/bin/vimbo_info.txt")),
              "/w/build/bin/vimbo_info.txt");
    EXPECT_EQ(info_file_path("/opt/vimbo/bin", only("/opt/vimbo/share/vimbo/vimbo_info.txt")),
              "/opt/vimbo/share/vimbo/vimbo_info.txt");
    // Neither: the installed place, and the editor tells that the file is missing.
    EXPECT_EQ(info_file_path("/usr/bin", only("")), "/usr/share/vimbo/vimbo_info.txt");
    EXPECT_EQ(info_file_path("/usr/local/bin/", only("")), "/usr/local/share/vimbo/vimbo_info.txt");
}

TEST_F(Aux_commands_test, TheManualIsPlainTextWithCrLfAndExplainsWhatTheProgramSays) {
    QFile file(info_file_in_build_tree());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    ASSERT_GT(text.size(), 2000);
    ASSERT_TRUE(text.endsWith("\r\n"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << i;
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "CR without LF at " << i;
        }
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "LF without CR at " << i;
        }
    }
    const QStringList lines = QString::fromLatin1(text).split("\r\n");
    // The chapter the port opening's help box sends the user to.
    EXPECT_TRUE(lines.contains("4. USB Converter"));
    for (const char* topic : {"dialout", "/dev/ttyS<n-1>", "comN", "ln -s /dev/ttyUSB0 com3",
                              "vimbo.set", "Read EEP", "Write EEP", "UPDATE", "AT+", "CMD"}) {
        EXPECT_TRUE(text.contains(topic)) << topic;
    }
    for (const char* message :
         {"\"Invalid COM port number!\"", "\"No Comm Port selected! \"",
          "\"Error TX to Comm Port!\"", "\"Fail to write Comm/USB number to file!\"",
          "\"RQMxx do not responde with in delay\"", "\"ERROR, Hardware do not match File!\"",
          "\"#? RQMxx reply ERROR DATA Line Header!\"", "\"#! RQMxx reply Line CheckSum ERROR!\"",
          "\"#* RQMxx reply Line Chip Type ERROR!\"", "\"ERROR Uploading Software Update!\"",
          "\"ERROR Uploading EEPROM to RQMxx!\"",
          "\"RQMxx take to long to respond! Check the serial link.\""}) {
        EXPECT_TRUE(text.contains(message)) << message;
    }
}

TEST_F(Aux_commands_test, AboutBoxHasItsTwelveLines) {
    Vimbo_form& f = make_form();
    QTest::mouseClick(f.Cmd_Show_About, Qt::LeftButton);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0], Aux_commands::about_text());
    const QStringList lines = dialogs_.boxes[0].split("\r\n");
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "Copyright (C) 2026 the VIMBO project authors");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Check our web site for manuals, update and infos.");
    EXPECT_EQ(lines[4], "Send command [Pw ?] and [Pw F] to the controller!");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "Manual: vimbo_info.txt, opened with [Read Infos]");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "*** SMS CONTROLLER ***");
    EXPECT_EQ(lines[11], "Last compile: Augustus 2015");
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains("http") || line.contains("www.") || line.contains('@'))
            << line.toStdString();
        EXPECT_FALSE(line.contains('\r') || line.contains('\n'));
    }
    EXPECT_EQ(f.title(), "VIMBO");  // the box has the application's caption, set by the dialogs
}

TEST_F(Aux_commands_test, RightClickOnTheSeparatorButtonOpensTheRecordMenu) {
    Vimbo_form& f = make_form();
    EXPECT_EQ(f.Cmd_reserve_1->toolTip(),
              "Click to add separator to list. Right: session record menu.");
    Record_menu& m = f.record_menu();
    QTest::mousePress(f.Cmd_reserve_1, Qt::RightButton);
    QTest::mouseRelease(f.Cmd_reserve_1, Qt::RightButton);
    EXPECT_TRUE(m.menu().isVisible());
    EXPECT_TRUE(log_lines().isEmpty());  // no separator from the right button
    EXPECT_EQ(f.title(), "VIMBO");
    QStringList items;
    for (QAction* a : m.menu().actions()) {
        if (!a->isSeparator()) items << a->text();
    }
    EXPECT_EQ(items,
              (QStringList{"Open today's record", "Open the logs folder", "Session record on"}));
    EXPECT_TRUE(m.open_today()->isEnabled());
    EXPECT_TRUE(m.record_on()->isChecked());
    m.menu().hide();

    const QString today = path("logs/vimbo-2026-12-10.log");
    {
        Fake_programs programs;
        const QString xdg_open = programs.add("xdg-open");
        Scoped_env env_path("PATH", programs.path());
        m.open_today()->trigger();
        m.open_folder()->trigger();
        ASSERT_EQ(editor_.started.size(), 2u);
        EXPECT_EQ(editor_.started[0], (QStringList{xdg_open, today}));
        EXPECT_EQ(editor_.started[1], (QStringList{xdg_open, path("logs")}));
    }
    {
        // No file manager: nothing is started and nothing is shown.
        Fake_programs programs;
        Scoped_env env_path("PATH", programs.path());
        m.open_folder()->trigger();
        EXPECT_EQ(editor_.started.size(), 2u);
    }
    EXPECT_TRUE(dialogs_.boxes.empty());

    // Off: the menu says so at its next opening. Today's record is still there to open.
    m.record_on()->trigger();
    QTest::mousePress(f.Cmd_reserve_1, Qt::RightButton);
    EXPECT_FALSE(m.record_on()->isChecked());
    EXPECT_TRUE(m.open_today()->isEnabled());
    m.menu().hide();

    // The left click still adds the separator.
    QTest::mouseClick(f.Cmd_reserve_1, Qt::LeftButton);
    EXPECT_EQ(log_lines().size(), 1);
    EXPECT_FALSE(m.menu().isVisible());

    // A fresh folder without a record yet: nothing to open.
    QDir(path("logs")).removeRecursively();
    QTest::mousePress(f.Cmd_reserve_1, Qt::RightButton);
    EXPECT_FALSE(m.open_today()->isEnabled());
    EXPECT_FALSE(m.open_folder()->isEnabled());
    m.menu().hide();
}
