#include <QTest>

#include "console/sending.h"
#include "tests/support/form_fixture.h"

class Sending_test : public Form_test {
  protected:
    void left_click() { QTest::mouseClick(form().Cmd_send_cmd, Qt::LeftButton); }
    void right_click() { QTest::mouseClick(form().Cmd_send_cmd, Qt::RightButton); }
    void enter() { QTest::keyClick(form().Text_Cmd, Qt::Key_Return); }
    void show_copy_box() { QTest::mouseClick(form().Text_Cmd, Qt::RightButton); }
    void hide_copy_box() {
        QWidget* box = form().Text_to_copy->viewport();
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mousePress(box, Qt::LeftButton);
        QTest::mouseDClick(box, Qt::LeftButton);
        QTest::mouseRelease(box, Qt::LeftButton);
    }
    // The writes since the last call, one entry per write.
    std::vector<QByteArray> writes() {
        std::vector<QByteArray> out;
        for (; writes_taken_ < port_.writes.size(); ++writes_taken_)
            out.push_back(port_.writes[writes_taken_].bytes);
        return out;
    }
    using W = std::vector<QByteArray>;
};

TEST_F(Sending_test, EachSendPathWritesItsBytesOnceAndSetsItsTitle) {
    Vimbo_form& f = make_form();
    open_port(3);
    writes();
    struct Case {
        QString text;
        QByteArray left;   // left click and Enter
        QByteArray right;  // right click
        bool right_sets_title;
    };
    const Case cases[] = {
        {"AT+CSQ", "AT+CSQ\r", "AT+CSQ", true},
        {"", "\r", "", true},
        {"^Z", "\x1a", "\x1a", false},
        {" ^Z", " ^Z\r", " ^Z", true},
        {"^Z ", "^Z \r", "^Z ", true},
        {"^z", "^z\r", "^z", true},
        {"6157 s", "6157 s\r", "6157 s", true},
        {QString::fromLatin1("caf\xe9"), "caf\xe9\r", "caf\xe9", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        f.Text_Cmd->setText(c.text);
        f.set_title("before");
        left_click();
        EXPECT_EQ(writes(), W{c.left});
        EXPECT_EQ(f.title(), "before");
        enter();
        EXPECT_EQ(writes(), W{c.left});
        EXPECT_EQ(f.title(), "before");
        right_click();
        EXPECT_EQ(writes(), W{c.right});
        EXPECT_EQ(f.title(), c.right_sets_title ? "Line TXT no CR no LF....." : "before");
        // The command line keeps its text for the next send.
        EXPECT_EQ(f.Text_Cmd->text(), c.text);
    }
    // Other mouse buttons send nothing; other keys are only typed.
    f.Text_Cmd->setText("AT");
    QTest::mouseClick(f.Cmd_send_cmd, Qt::MiddleButton);
    QTest::keyClick(f.Text_Cmd, Qt::Key_X);
    EXPECT_EQ(writes(), W{});
    EXPECT_EQ(f.Text_Cmd->text(), "ATx");
}

TEST_F(Sending_test, AClosedPortOrAFailedWriteSendsNothingAndKeepsTheTitle) {
    Vimbo_form& f = make_form();
    f.Text_module_Id->setText("ic35");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {  // opened, then closed again
            open_port(3);
            f.MSerial.set_PortOpen(false);
        }
        if (round == 2) {  // open, but every write fails
            open_port(3);
            port_.fail_writes = true;
        }
        f.set_title("before");
        for (const char* text : {"AT", "^Z", ""}) {
            f.Text_Cmd->setText(text);
            left_click();
            enter();
            right_click();
        }
        show_copy_box();
        left_click();
        hide_copy_box();
        EXPECT_EQ(f.title(), "before");
        EXPECT_TRUE(port_.writes.empty());
    }
}

TEST_F(Sending_test, IcEnginesSendTheShownCopyBoxWithCrLfInOneWrite) {
    Vimbo_form& f = make_form();
    open_port(3);
    writes();
    f.Text_module_Id->setText("ic35");
    f.Text_Cmd->setText("ATI");
    show_copy_box();
    f.Text_to_copy->set_text("AT\r\nATI");
    f.set_title("before");
    left_click();
    EXPECT_EQ(writes(), W{"AT\r\nATI\r\n"});
    EXPECT_EQ(f.title(), "Line TXT + CR + LF.....");
    f.set_title("before");
    enter();
    EXPECT_EQ(writes(), W{"AT\r\nATI\r\n"});
    EXPECT_EQ(f.title(), "Line TXT + CR + LF.....");
    // The right click still sends the command line alone.
    right_click();
    EXPECT_EQ(writes(), W{"ATI"});
    EXPECT_EQ(f.title(), "Line TXT no CR no LF.....");
    // "^Z" comes first.
    f.Text_Cmd->setText("^Z");
    f.set_title("before");
    left_click();
    EXPECT_EQ(writes(), W{"\x1a"});
    EXPECT_EQ(f.title(), "before");

    // An engine id that does not begin with exactly "ic" leaves the copy box out.
    f.Text_Cmd->setText("AT+CSQ");
    for (const char* id : {"IC35", "Ic35", "iC35", "MC39", "i", " ic35", ""}) {
        SCOPED_TRACE(id);
        f.Text_module_Id->setText(id);
        left_click();
        EXPECT_EQ(writes(), W{"AT+CSQ\r"});
        EXPECT_EQ(f.title(), "before");
    }
    // "ic" alone and read afresh each time: the stored engine id plays no part.
    f.state.Module_id = "MC39";
    f.Text_module_Id->setText("ic");
    left_click();
    EXPECT_EQ(writes(), W{"AT\r\nATI\r\n"});
    // Hidden again: the command line goes with CR.
    hide_copy_box();
    left_click();
    EXPECT_EQ(writes(), W{"AT+CSQ\r"});
}

TEST_F(Sending_test, CopyBoxKeepsItsTextWhileHiddenAndCollectsTheBoardsLines) {
    Vimbo_form& f = make_form();
    open_port(3);
    writes();
    EXPECT_TRUE(f.Text_to_copy->isHidden());
    QTest::mouseClick(f.Text_Cmd, Qt::LeftButton);
    EXPECT_TRUE(f.Text_to_copy->isHidden());
    show_copy_box();
    EXPECT_FALSE(f.Text_to_copy->isHidden());
    EXPECT_EQ(f.Text_to_copy->text(), "");

    f.Text_to_copy->set_text("typed\r\n");
    board().deliver("+CSQ: 21,0\r\n#hidden\r\nOK\r\n");
    clock_.run_pending();
    EXPECT_EQ(f.Text_to_copy->text(), "typed\r\n+CSQ: 21,0\r\nOK\r\n");
    hide_copy_box();
    EXPECT_TRUE(f.Text_to_copy->isHidden());
    EXPECT_EQ(f.state.Copy_text, "typed\r\n+CSQ: 21,0\r\nOK\r\n");
    // Lines received while it is hidden are only logged.
    board().deliver("RING\r");
    clock_.run_pending();
    EXPECT_EQ(log_lines().last(), "RING");
    show_copy_box();
    EXPECT_EQ(f.Text_to_copy->text(), "typed\r\n+CSQ: 21,0\r\nOK\r\n");

    // A right mouse-down while it is shown puts back the text of the last hiding.
    f.Text_to_copy->append_text("more typing");
    board().deliver("NO CARRIER\r");
    clock_.run_pending();
    show_copy_box();
    EXPECT_EQ(f.Text_to_copy->text(), "typed\r\n+CSQ: 21,0\r\nOK\r\n");
    // Without the "ic" case Send never uses the copy box.
    f.Text_module_Id->setText("M35");
    f.Text_Cmd->setText("AT");
    left_click();
    EXPECT_EQ(writes(), W{"AT\r"});
}

TEST_F(Sending_test, IcEnginesSendTheBoardsLinesBackWithTheCopyBox) {
    Vimbo_form& f = make_form();
    open_port(3);
    writes();
    f.Text_module_Id->setText("ic35");
    show_copy_box();
    // 8-bit bytes go back as they came, the non-breaking space 0xA0 as well.
    board().deliver("+CMGL: 1,\"REC READ\"\r\nhello\xa0w\xf6rld\r\n");
    clock_.run_pending();
    f.Text_to_copy->append_text("edited");
    QTest::mouseClick(f.Cmd_send_cmd, Qt::LeftButton);
    EXPECT_EQ(writes(), W{"+CMGL: 1,\"REC READ\"\r\nhello\xa0w\xf6rld\r\nedited\r\n"});
}

TEST(Ic_case, OnlyTheLowerCaseFirstTwoCharacters) {
    EXPECT_TRUE(is_ic_case("ic"));
    EXPECT_TRUE(is_ic_case("ic35 "));
    EXPECT_FALSE(is_ic_case("IC35"));
    EXPECT_FALSE(is_ic_case("i"));
    EXPECT_FALSE(is_ic_case(" ic"));
    EXPECT_FALSE(is_ic_case("MC39"));
}
