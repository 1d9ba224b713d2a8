#include <QApplication>
#include <QTest>

#include "app/control_table.h"
#include "console/modes.h"
#include "tests/support/form_fixture.h"

class Modes_test : public Form_test {
  protected:
    void SetUp() override {
        Form_test::SetUp();
        for (const char* name : {"M35_cmd.txt", "ic35_cmd.txt"}) {
            write_file(name,
                       "1 AT+CSQ          Signal quality\r\n"
                       "2 6157 s          Status\r\n"
                       "1 ATI             Engine\r\n");
        }
    }
    void at_plus() { QTest::mouseClick(form().Cmd_start_AT_mode, Qt::LeftButton); }
    void at_plus_right() { QTest::mouseClick(form().Cmd_start_AT_mode, Qt::RightButton); }
    void cmd() { QTest::mouseClick(form().Cmd_start_SMS_mode, Qt::LeftButton); }
    void initialize() { QTest::mouseClick(form().Cmd_initialize_vimbo, Qt::LeftButton); }
    std::vector<QByteArray> writes() {
        std::vector<QByteArray> out;
        for (; writes_taken_ < port_.writes.size(); ++writes_taken_)
            out.push_back(port_.writes[writes_taken_].bytes);
        return out;
    }
    QStringList rows() {
        QStringList out;
        for (int i = 0; i < form().List_cmd_list->count(); ++i)
            out << form().List_cmd_list->item(i);
        return out;
    }
    int wide() { return form().normal_width() + form().List_cmd_list->width(); }
    using W = std::vector<QByteArray>;
    const QStringList at_rows{"AT+CSQ          Signal quality", "ATI             Engine"};
    const QStringList pc_rows{"6157 s          Status"};
    const QString at_title = " AT+ commands to controller GSM radio module!";
    const QString pc_title = " Send PC ComManDs to the controller just like SMS....";
};

TEST_F(Modes_test, ModeButtonsWriteTheirCommandPaintTheLineAndReopenTheExamples) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText("M35");
    open_port(3);
    writes();
    at_plus();
    EXPECT_EQ(writes(), W{"}\r"});
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), "AT");
    EXPECT_FALSE(f.List_cmd_list->isHidden());
    EXPECT_EQ(rows(), at_rows);
    EXPECT_EQ(f.title(), at_title);
    EXPECT_EQ(f.width(), wide());
    // Pressed again: the list is closed and opened again at the same width.
    f.Text_Cmd->setText("unsent");
    at_plus();
    EXPECT_EQ(writes(), W{"}\r"});
    EXPECT_EQ(f.Text_Cmd->text(), "AT");
    EXPECT_EQ(rows(), at_rows);
    EXPECT_EQ(f.width(), wide());

    cmd();
    EXPECT_EQ(writes(), W{"{"});
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kBlue);
    EXPECT_EQ(f.Text_Cmd->text(), "6157 s");
    EXPECT_EQ(rows(), pc_rows);
    EXPECT_EQ(f.title(), pc_title);
    EXPECT_EQ(f.width(), wide());
    // AT+ while the PC examples are shown brings the AT examples.
    at_plus();
    EXPECT_EQ(writes(), W{"}\r"});
    EXPECT_EQ(rows(), at_rows);
    // Show Cmds closes the list: the window is back at its normal width.
    QTest::mouseClick(f.Cmd_show_cmd_list, Qt::LeftButton);
    EXPECT_EQ(f.width(), f.normal_width());
    // CMD in the "ic" case is the same.
    f.Text_module_Id->setText("ic35");
    cmd();
    EXPECT_EQ(writes(), W{"{"});
    EXPECT_EQ(f.Text_Cmd->text(), "6157 s");
    EXPECT_EQ(rows(), pc_rows);
    EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(Modes_test, WithThePortClosedModeButtonsWriteNothingButStillSwitch) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText("ic35");  // tested only with the port open
    at_plus();
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), "AT");
    EXPECT_EQ(f.title(), at_title);
    EXPECT_FALSE(f.List_cmd_list->isHidden());
    f.Text_module_Id->setText("M35");
    cmd();
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kBlue);
    EXPECT_EQ(f.title(), pc_title);
    EXPECT_EQ(rows(), pc_rows);
    EXPECT_EQ(f.width(), wide());
    // Without an examples file the box is shown and the title still set.
    f.Text_module_Id->setText("W218");
    at_plus();
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.width(), f.normal_width());
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.title(), at_title);
    EXPECT_TRUE(port_.writes.empty());
}

TEST_F(Modes_test, IcEnginesTakeTheBraceAloneAndTheBarForUndecodedAnswers) {
    Vimbo_form& f = make_form();
    f.show();
    const QColor start = QApplication::palette().color(QPalette::Base);
    const QString start_text = f.Text_Cmd->text();
    f.Text_module_Id->setText("ic35");
    open_port(3);
    writes();
    // No mode chosen yet: the line keeps its look and the list stays closed.
    at_plus();
    EXPECT_EQ(writes(), W{"}"});
    EXPECT_EQ(f.Text_Cmd->back_color(), start);
    EXPECT_EQ(f.Text_Cmd->text(), start_text);
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.width(), f.normal_width());
    EXPECT_EQ(f.title(), at_title);
    // After CMD the PC mode stays recorded and its examples come back.
    f.state.Module_id.clear();
    f.Text_module_Id->setText("ic35");
    write_file("ic35_cmd.txt", "2 6157 v          Version\r\n1 AT                Attention\r\n");
    cmd();
    EXPECT_EQ(writes(), W{"{"});
    at_plus();
    EXPECT_EQ(writes(), W{"}"});
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kBlue);
    EXPECT_EQ(f.Text_Cmd->text(), "6157 s");
    EXPECT_EQ(rows(), QStringList{"6157 v          Version"});
    EXPECT_EQ(f.width(), wide());

    // The right button: the bar, and only that (no left-click operation).
    f.set_title("before");
    at_plus_right();
    EXPECT_EQ(writes(), W{"|"});
    EXPECT_EQ(f.title(), " Print ATC response on screen no decode!");
    EXPECT_EQ(rows(), QStringList{"6157 v          Version"});
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kBlue);
    // Other engines: the right button does nothing.
    for (const char* id : {"IC35", "MC39", "i", " ic"}) {
        f.Text_module_Id->setText(id);
        f.set_title("before");
        at_plus_right();
        EXPECT_EQ(writes(), W{});
        EXPECT_EQ(f.title(), "before");
    }
    // Port closed: the title changes, nothing is written.
    f.Text_module_Id->setText("ic35");
    f.MSerial.set_PortOpen(false);
    at_plus_right();
    EXPECT_EQ(f.title(), " Print ATC response on screen no decode!");
    EXPECT_EQ(writes(), W{});
    // Port closed in the "ic" case: the left click turns the line red.
    at_plus();
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), "AT");
    EXPECT_EQ(rows(), QStringList{"AT                Attention"});
}

TEST_F(Modes_test, InitializeWritesThreeBytesOrSaysThereIsNoPort) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText("M35");
    // No port: a log line, the port button pure red, nothing else touched.
    const QString start_text = f.Text_Cmd->text();
    const QColor start = f.Text_Cmd->back_color();
    f.set_title("before");
    initialize();
    EXPECT_EQ(log_lines(), QStringList{"No Comm Port selected! "});
    EXPECT_EQ(f.List_1->selected_index(), 0);
    EXPECT_EQ(f.Cmd_com_usb->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), start_text);
    EXPECT_EQ(f.Text_Cmd->back_color(), start);
    EXPECT_EQ(f.title(), "before");

    open_port(3);
    writes();
    cmd();
    writes();
    f.set_title("before");
    initialize();
    EXPECT_EQ(writes(), (W{QByteArray(1, '\0'), "\x18", "!"}));
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), "AT");
    // The PC examples stay until the list is reopened; the title stays.
    EXPECT_EQ(rows(), pc_rows);
    EXPECT_EQ(f.title(), "before");
    EXPECT_EQ(log_lines().size(), 2);
}

TEST_F(Modes_test, WriteFailuresFollowEachButtonsOwnPath) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText("M35");
    open_port(3);
    at_plus();
    ASSERT_FALSE(f.List_cmd_list->isHidden());
    port_.fail_writes = true;
    const std::size_t written = port_.writes.size();

    // Initialize: the error line, the command line untouched.
    f.Text_Cmd->setText("typed");
    initialize();
    EXPECT_EQ(log_lines().last(), "Error TX to Comm Port!");
    EXPECT_EQ(f.List_1->selected_index(), f.List_1->count() - 1);
    EXPECT_EQ(f.Text_Cmd->text(), "typed");
    // CMD: the error title; the list closed before the write stays closed.
    cmd();
    EXPECT_EQ(f.title(), " *********** error ********** ");
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kRed);
    EXPECT_EQ(f.Text_Cmd->text(), "typed");
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_EQ(f.width(), f.normal_width());
    // AT+: silent.
    f.set_title("before");
    f.Text_Cmd->set_back_color(colors::kBlue);
    at_plus();
    EXPECT_EQ(f.title(), "before");
    EXPECT_EQ(f.Text_Cmd->back_color(), colors::kBlue);
    EXPECT_EQ(f.Text_Cmd->text(), "typed");
    f.Text_module_Id->setText("ic35");
    at_plus_right();
    EXPECT_EQ(f.title(), "before");
    EXPECT_EQ(port_.writes.size(), written);
    EXPECT_EQ(f.width(), f.normal_width());
}

// A transfer holds its file open while it waits for the board; the mode buttons and Show
// Cmds pressed meanwhile must leave that file alone.
TEST_F(Modes_test, ModeButtonsDuringATransferLeaveItsFileOpen) {
    Vimbo_form& f = make_form();
    f.show();
    f.Text_module_Id->setText("M35");
    open_port(3);
    clock_.at(1000, [&] { cmd(); });
    clock_.at(2000, [&] { at_plus(); });
    clock_.at(3000, [&] { QTest::mouseClick(f.Cmd_show_cmd_list, Qt::LeftButton); });
    clock_.at(4000, [&] {
        f.Text_module_Id->setText("W218");  // the missing-file path too
        QTest::mouseClick(f.Cmd_show_cmd_list, Qt::LeftButton);
    });
    clock_.at(5000, [&] { initialize(); });
    board().deliver_after(6000, "#\xbe\r");
    qint64 written_after_wait = -1;
    bool open_after_wait = false;
    f.handle([&] {
        Tracked_file image(f.files, path("backup.eep"));
        if (!image.open(QIODevice::WriteOnly)) return;
        image.write("#first record\r\n");
        f.pump.wait_until([&] { return f.state.Rx_reply.startsWith('#'); });
        open_after_wait = image.isOpen();
        written_after_wait = image.write("#second record\r\n");
    });
    EXPECT_FALSE(clock_.stalled());
    EXPECT_EQ(clock_.now_ms(), 6000);
    EXPECT_TRUE(open_after_wait);
    EXPECT_EQ(written_after_wait, 16);
    EXPECT_EQ(read_file("backup.eep"), "#first record\r\n#second record\r\n");
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(f.files.count(), 0u);
    // The presses did their work meanwhile.
    EXPECT_EQ(take_written(), QByteArray("{}\r") + QByteArray(1, '\0') + "\x18!");
}
