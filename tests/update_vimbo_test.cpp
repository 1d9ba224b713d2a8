#include <set>

#include "serial/port_names.h"
#include "tests/backup_images.h"
#include "tests/support/hint_picture.h"
#include "tests/upload_fixture.h"
#include "upload/write_check.h"

namespace {
const QString kPressInitialize = " *** Press [ Initialize ] if not yet done! ***";
const QString kNoResponseHint = "RQMxx take to long to respond! (Also check the serial link)";
const QString kDontClick = "Don't click on BUSY to escape but wait!";
const QString kUpdateSuccess = "#@ Software Update to RQMxx succesfull!";
const QString kEepromSuccess = "#@ Eeprom upload to RQMxx succesfull!";
const QString kVerifyHint = "To verify: right-click Write EEP to compare the board with 2418.eep.";
}  // namespace

class Update_vimbo_test : public Upload_test {};

// Sign-on at 100 ms, id 20 ms after the start byte, first "#$" 5 ms later (inside the 35 ms
// pause), then "#$" 5 ms after each line: each line goes 36 ms after the "#$" it answers.
TEST_F(Update_vimbo_test, UpdateSendsEachLineWithCrAtItsTimeAndEndsOnDone) {
    write_file("8800.upd", "L1\r\nL2\r\nL3\r\n");
    Vimbo_form& f = ready();
    f.Text_Cmd->setText("AT+CSQ");
    f.state.File_id = "2418";
    replies_[3] = "#@";
    sign_on_at(100);

    struct Look {
        QString update_caption, write_caption, read_caption, title, hint;
        QColor update_color;
        bool read_normal;
        double progress;
        int fill;  // painted columns of the hint line's fill
    };
    std::vector<Look> looks;
    auto look = [&] {
        looks.push_back({f.Cmd_update_vimbo->caption(), f.Cmd_write_eeprom->caption(),
                         f.Cmd_read_eeprom->caption(), f.title(), f.hint(),
                         f.Cmd_update_vimbo->back_color(), f.Cmd_read_eeprom->has_normal_face(),
                         f.Label1->progress(), painted_fill(*f.Label1)});
    };
    f.Cmd_read_eeprom->set_back_color(colors::kRed);  // the transfer gives it its idle look
    clock_.at(50, look);                              // sign-on wait
    clock_.at(110, look);                             // hardware id wait
    on_each_write = [&](const QByteArray&) { look(); };

    click(f.Cmd_update_vimbo);

    EXPECT_EQ(sent(),
              (std::vector<Sent>{{100, kStartByte}, {191, "L1\r"}, {232, "L2\r"}, {273, "L3\r"}}));
    EXPECT_EQ(log_lines(),
              (QStringList{kDontClick, "Hardware responding...", "8800.upd", "Hardware Id = #2418",
                           "WRITING; 8800.upd", kUpdateSuccess}));
    EXPECT_EQ(f.List_1->selected_index(), 5);
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(clock_.now_ms(), 278);
    expect_ended(f);
    EXPECT_EQ(f.hint(), "L3");  // the last line sent stays in the hint line
    EXPECT_EQ(f.Text_Cmd->text(), "AT+CSQ");
    EXPECT_EQ(f.state.Chosen_file, "8800.upd");
    EXPECT_EQ(f.state.File_id, "2418");
    EXPECT_EQ(f.state.Eeprom_file, "");
    EXPECT_EQ(f.Cmd_read_eeprom->caption(), "Read EEP");
    EXPECT_TRUE(f.Cmd_read_eeprom->has_normal_face());

    ASSERT_EQ(looks.size(), 6u);
    // Sign-on wait: UPDATE busy and red, Read EEP still as it was.
    EXPECT_EQ(looks[0].update_caption, "BUSY!");
    EXPECT_EQ(looks[0].update_color, QColor(255, 0, 0));
    EXPECT_EQ(looks[0].hint, kPressInitialize);
    EXPECT_EQ(looks[0].title, "");
    // Read EEP is given its idle look right after the start byte.
    EXPECT_FALSE(looks[1].read_normal);
    EXPECT_TRUE(looks[2].read_normal);
    EXPECT_EQ(looks[2].read_caption, "Read EEP");
    EXPECT_EQ(looks[2].write_caption, "Write EEP");
    EXPECT_EQ(looks[2].update_color, QColor(255, 0, 0));
    // While the lines go: green and the update title.
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(looks[i].update_caption, "BUSY!") << i;
        EXPECT_EQ(looks[i].update_color, QColor(0, 192, 0)) << i;
        EXPECT_EQ(looks[i].title, "Wait untill UPDATE upload FINISHED!") << i;
    }
    // The hint line shows each line as it goes.
    EXPECT_EQ(looks[3].hint, "L1");
    EXPECT_EQ(looks[4].hint, "L2");
    EXPECT_EQ(looks[5].hint, "L3");
    // Progress: the share of the file's lines sent so far.
    EXPECT_LT(looks[3].progress, 0);
    EXPECT_EQ(looks[3].fill, 0);
    EXPECT_DOUBLE_EQ(looks[4].progress, 1.0 / 3);
    EXPECT_EQ(looks[4].fill, 131);  // of 392 pixels
    EXPECT_DOUBLE_EQ(looks[5].progress, 2.0 / 3);
    EXPECT_EQ(looks[5].fill, 261);
    EXPECT_EQ(painted_fill(*f.Label1), 0);  // gone at the end
}

TEST_F(Update_vimbo_test, FirstLineWaitsForTheFirstRequestWhenItComesLateOrTogetherWithTheId) {
    write_file("8800.upd", "L1\r\nL2\r\n");
    Vimbo_form& f = ready();
    replies_[2] = "#@";
    // The first "#$" 400 ms after the start byte, long after the 35 ms pause.
    first_request_after_ms_ = 400;
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {536, "L1\r"}, {577, "L2\r"}}));
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);

    // Id and first request in one burst: the id is still seen, then 35 + 36 ms.
    id_ = "#2418\r#$";
    first_request_.clear();
    const std::int64_t t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(),
              (std::vector<Sent>{
                  {t, kStartByte}, {t + 20 + 35 + 36, "L1\r"}, {t + 20 + 35 + 36 + 41, "L2\r"}}));
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
    EXPECT_TRUE(dialogs_.boxes.empty());
    expect_ended(f);
}

TEST_F(Update_vimbo_test, DoneBeforeTheEndOfTheFileSendsNoMoreLines) {
    write_file("8800.upd", "A\r\nB\r\nC\r\nD\r\nE\r\n");
    Vimbo_form& f = ready();
    replies_[2] = "#@";
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "A\r"}, {232, "B\r"}}));
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
    EXPECT_EQ(f.hint(), "B");
    EXPECT_TRUE(dialogs_.boxes.empty());
    expect_ended(f);
}

// After the last line nothing is sent: the board decides the end, else the reply wait times out.
TEST_F(Update_vimbo_test, EmptyFileSendsNothingAndTimesOutUnlessTheBoardSaysDone) {
    write_file("8800.upd", "");
    write_file("2418.upd", "");  // Write EEP sends an update file unchecked
    Vimbo_form& f = ready();
    std::int64_t box_at = -1;
    dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    // "#$" is in the mailbox after the 35 ms pause (155); 36 ms later (191) no line is sent
    // and a new 4.5 s wait begins.
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}}));
    EXPECT_EQ(box_at, 191 + 4500);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    EXPECT_EQ(f.hint(), kNoResponseHint);
    EXPECT_FALSE(log_lines().contains(kUpdateSuccess));
    expect_ended(f);

    // The EEPROM use shows its own box.
    dialogs_.boxes.clear();
    f.state.Eeprom_file = "2418.upd";
    std::int64_t t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t, kStartByte}}));
    EXPECT_EQ(box_at, t + 91 + 4500);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::eeprom_failed_text()});
    expect_ended(f);

    // A file of one line: the line goes once, the next request gets nothing.
    write_file("8800.upd", "only\r\n");
    dialogs_.boxes.clear();
    t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t, kStartByte}, {t + 91, "only\r"}}));
    EXPECT_EQ(box_at, t + 91 + 41 + 4500);
    EXPECT_EQ(dialogs_.boxes.size(), 1u);

    // An empty file and a board that says done at once.
    write_file("8800.upd", "");
    dialogs_.boxes.clear();
    first_request_ = "#@";
    t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t, kStartByte}}));
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
    expect_ended(f);
}

TEST_F(Update_vimbo_test, LinesAreSentAsReadEmptyOnesAsALoneCrWhateverTheLineEnds) {
    write_file("8800.upd", QByteArray("A\r\n\r\nB\rC\n#10000000FF\x00\xE9", 22));
    Vimbo_form& f = ready();
    replies_[5] = "#@";
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte},
                                         {191, "A\r"},
                                         {232, "\r"},
                                         {273, "B\r"},
                                         {314, "C\r"},
                                         {355, QByteArray("#10000000FF\x00\xE9\r", 14)}}));
    EXPECT_EQ(f.hint(), QString::fromLatin1("#10000000FF\x00\xE9", 13));
    expect_ended(f);
}

// Any other "#" line is logged once and the wait goes on, still counted from its start.
TEST_F(Update_vimbo_test, OtherRepliesAreLoggedOnceAndTheWaitTimesOutFromItsStart) {
    write_file("8800.upd", "L1\r\nL2\r\n");
    Vimbo_form& f = ready();
    replies_[1] = "#$ ";
    std::int64_t box_at = -1;
    dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
    sign_on_at(100);
    clock_.at(3000, [&] { board().deliver("#%\r#$x\r"); });
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "L1\r"}}));
    EXPECT_EQ(log_lines().mid(5),
              (QStringList{"#$ ", "#%", "#$x",
                           "Upload stopped after line 1 of 2: no reply from the board."}));
    EXPECT_EQ(box_at, 191 + 4500);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    EXPECT_EQ(f.hint(), kNoResponseHint);
    expect_ended(f);
}

// The converter goes away after the first line and is back (opened again by the window)
// before the reply wait runs out: the line was lost with the port, and the log says so,
// not that the board kept silent.
TEST_F(Update_vimbo_test, APortLostAndBackWithinTheReplyWaitIsReportedAsLost) {
    write_file("8800.upd", "L1\r\nL2\r\n");
    Vimbo_form& f = ready();
    replies_[1] = "";  // the line never reaches the board
    const QString device = device_for_com_port(3);
    const auto unplug = [&] {
        port_.devices.remove(device);
        board().unplug();
    };
    const auto plug = [&] { port_.devices.insert(device); };
    sign_on_at(100);
    clock_.at(500, unplug);
    clock_.at(1200, plug);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "L1\r"}}));
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(f.MSerial.Losses(), 1);
    EXPECT_EQ(port_.open_count, 2);
    const QStringList log = log_lines();
    EXPECT_TRUE(log.contains("COMM:3 lost: the device has gone away."));
    EXPECT_TRUE(log.contains("COMM:3 is back: open again at 9600b/s.N.8.1..."));
    EXPECT_EQ(log.last(), "Upload stopped after line 1 of 2: the port was lost.");
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    expect_ended(f);

    // A loss and return while the next transfer still waits for the sign-on does not touch
    // its lines: a board that then stays silent is reported as silent.
    dialogs_.boxes.clear();
    const std::int64_t t = clock_.now_ms();
    clock_.at(t + 100, unplug);
    clock_.at(t + 600, plug);
    sign_on_at(t + 2500);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(f.MSerial.Losses(), 2);
    EXPECT_EQ(log_lines().last(), "Upload stopped after line 1 of 2: no reply from the board.");
    expect_ended(f);
}

TEST_F(Update_vimbo_test, EachErrorReplyShowsItsBoxAloneAndStopsTheTransfer) {
    write_file("8800.upd", "L1\r\nL2\r\nL3\r\n");
    write_file("2418.upd", "R1\r\nR2\r\nR3\r\n");  // sent by Write EEP unchecked
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.upd";
    struct Case {
        QByteArray reply;
        QString box;
        QString why;  // logged after "Upload stopped after line 2 of 3: "
    };
    const Case cases[] = {
        {"#?",
         "#? RQMxx reply ERROR DATA Line Header!\r\n\r\nTry again. Check Update file. Use RQMxx "
         "Power Up if "
         "no response...",
         "the board refused the line (#?)."},
        {"#!",
         "#! RQMxx reply Line CheckSum ERROR!\r\n\r\nTry again. Use RQMxx Power Up if no "
         "response...",
         "the board found a checksum error (#!)."},
        {"#*",
         "#* RQMxx reply Line Chip Type ERROR!\r\n\r\nTry again. Check Update file. Use RQMxx "
         "Power Up if no "
         "response...",
         "the board refused the record type (#*)."},
    };
    for (Vb_button* button : {f.Cmd_update_vimbo, f.Cmd_write_eeprom}) {
        const QByteArray first = button == f.Cmd_update_vimbo ? "L1\r" : "R1\r";
        const QByteArray second = button == f.Cmd_update_vimbo ? "L2\r" : "R2\r";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.reply.toStdString());
            dialogs_.boxes.clear();
            replies_ = {{2, c.reply}};
            const std::int64_t t = clock_.now_ms() + 100;
            sign_on_at(t);
            std::int64_t box_at = -1;
            dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
            click(button);
            EXPECT_EQ(sent(),
                      (std::vector<Sent>{{t, kStartByte}, {t + 91, first}, {t + 132, second}}));
            EXPECT_EQ(dialogs_.boxes, std::vector<QString>{c.box});
            EXPECT_EQ(box_at, t + 137);
            EXPECT_FALSE(log_lines().contains(kUpdateSuccess));
            EXPECT_FALSE(log_lines().contains(kEepromSuccess));
            EXPECT_EQ(log_lines().last(), "Upload stopped after line 2 of 3: " + c.why);
            expect_ended(f);
        }
    }
    EXPECT_EQ(Upload_procedure::header_error_text(), cases[0].box);
    EXPECT_EQ(Upload_procedure::update_failed_text(),
              "ERROR Uploading Software Update!\r\n\r\nTry again. Use RQMxx Power Up if no "
              "response...\r\n\r\n"
              "Check the info file for details on UPDATE.");
    EXPECT_EQ(Upload_procedure::eeprom_failed_text(),
              "ERROR Uploading EEPROM to RQMxx!\r\n\r\nTry again. Check the info file for details "
              "on EEPROM upload.");
}

TEST_F(Update_vimbo_test, NoHardwareIdIn8SecondsIsLoggedWithoutABox) {
    write_file("8800.upd", "L1\r\n");
    Vimbo_form& f = ready();
    id_.clear();
    first_request_.clear();
    sign_on_at(100);
    clock_.at(3000, [&] { board().deliver("#$\r#24180\r#2418 \r"); });  // none of them is an id
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}}));
    EXPECT_EQ(clock_.now_ms(), 8100);
    EXPECT_EQ(log_lines(), (QStringList{kDontClick, "Hardware responding...", "8800.upd",
                                        "RQMxx take to long to respond! Check the serial link."}));
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_EQ(f.hint(), kPressInitialize);
    expect_ended(f);
}

TEST_F(Update_vimbo_test, NoFirstRequestIn4500MsAfterTheFirstPauseIsATimeout) {
    write_file("8800.upd", "L1\r\n");
    Vimbo_form& f = ready();
    first_request_.clear();
    std::int64_t box_at = -1;
    dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}}));
    EXPECT_EQ(box_at, 155 + 4500);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    EXPECT_EQ(f.hint(), kNoResponseHint);
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              (QStringList{"WRITING; 8800.upd",
                           "Upload stopped before the first line: no reply from the board."}));
    expect_ended(f);
}

// A click on the busy UPDATE button: no message before the lines go, box D once they do.
// The flag is not looked at during the two pauses.
TEST_F(Update_vimbo_test, AbortInEachStateOfTheUpdate) {
    write_file("8800.upd", "L1\r\nL2\r\nL3\r\n");
    Vimbo_form& f = ready();
    struct Case {
        const char* state;
        std::int64_t click_at;  // after the click on UPDATE
        bool sign_on;
        bool id;
        int reply_after_ms;
        std::vector<std::pair<std::int64_t, QByteArray>> sent;
        bool box;
        std::int64_t ended_at;
    };
    const Case cases[] = {
        {"sign-on wait", 500, false, true, 5, {}, false, 500},
        {"hardware id wait", 1000, true, false, 5, {{100, kStartByte}}, false, 1000},
        {"first pause", 130, true, true, 5, {{100, kStartByte}, {191, "L1\r"}}, true, 191},
        {"reply wait", 193, true, true, 1000, {{100, kStartByte}, {191, "L1\r"}}, true, 193},
        {"next-line pause",
         210,
         true,
         true,
         5,
         {{100, kStartByte}, {191, "L1\r"}, {232, "L2\r"}},
         true,
         232},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        dialogs_.boxes.clear();
        f.List_1->clear_items();
        id_ = c.id ? "#2418" : "";
        first_request_ = c.id ? "#$" : "";
        reply_after_ms_ = c.reply_after_ms;
        const std::int64_t t0 =
            clock_.now_ms() + 10000;  // well after any board reply still under way
        clock_.advance(10000);
        sent();
        if (c.sign_on) sign_on_at(t0 + 100);
        std::int64_t box_at = -1;
        dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
        click_at(t0 + c.click_at, f.Cmd_update_vimbo);
        click(f.Cmd_update_vimbo);
        std::vector<Sent> expected;
        for (const auto& [at, bytes] : c.sent) expected.push_back({t0 + at, bytes});
        EXPECT_EQ(sent(), expected);
        if (c.box) {
            EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
            EXPECT_EQ(box_at, t0 + c.ended_at);
            ASSERT_FALSE(log_lines().isEmpty());
            EXPECT_TRUE(log_lines().last().endsWith(": stopped on the busy button."))
                << log_lines().last().toStdString();
        } else {
            EXPECT_TRUE(dialogs_.boxes.empty());
            EXPECT_EQ(clock_.now_ms(), t0 + c.ended_at);
        }
        EXPECT_FALSE(log_lines().contains("RQMxx take to long to respond! Check the serial link."));
        EXPECT_NE(f.hint(), kNoResponseHint);
        expect_ended(f);
    }
}

// Mended: a click on the busy Write EEP button asks the EEPROM write to stop, as the busy
// UPDATE button does, and the button keeps "BUSY!" until the clean-up.
TEST_F(Update_vimbo_test, BusyWriteEepClickStopsTheEepromWriteAndKeepsTheLock) {
    write_file("2418.upd", "R1\r\nR2\r\nR3\r\n");  // sent by Write EEP unchecked
    write_file("8800.upd", "L1\r\n");
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.upd";

    // In the sign-on wait: no message, no byte sent.
    QString caption_after_click;
    QColor color_after_click;
    bool abort_after_update_click = true;
    clock_.at(300, [&] {
        click(f.Cmd_update_vimbo);  // refused: the write holds the lock
        abort_after_update_click = f.state.Abort_request;
        click(f.Cmd_write_eeprom);
        caption_after_click = f.Cmd_write_eeprom->caption();
        color_after_click = f.Cmd_write_eeprom->back_color();
    });
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(clock_.now_ms(), 300);
    EXPECT_FALSE(abort_after_update_click);
    EXPECT_EQ(caption_after_click, "BUSY!");
    EXPECT_EQ(color_after_click, QColor(192, 0, 192));
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_TRUE(log_lines().isEmpty());
    expect_ended(f);

    // While the lines go: box E, and the button still shows the busy look when it opens.
    reply_after_ms_ = 1000;
    const std::int64_t t = clock_.now_ms();
    sign_on_at(t + 100);
    clock_.at(t + 193, [&] {
        click(f.Cmd_update_vimbo);  // refused
        EXPECT_FALSE(f.state.Abort_request);
        EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
        click(f.Cmd_write_eeprom);
    });
    QString caption_at_box;
    QColor color_at_box;
    dialogs_.on_box = [&](const QString&) {
        caption_at_box = f.Cmd_write_eeprom->caption();
        color_at_box = f.Cmd_write_eeprom->back_color();
    };
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t + 100, kStartByte}, {t + 191, "R1\r"}}));
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::eeprom_failed_text()});
    EXPECT_EQ(caption_at_box, "BUSY!");
    EXPECT_EQ(color_at_box, QColor(0, 192, 0));
    EXPECT_FALSE(log_lines().contains(kDontClick));
    expect_ended(f);
}

TEST_F(Update_vimbo_test, EepromWriteSendsItsFileAndEndsOnDone) {
    QByteArray image(1024, char(0xFF));
    image.replace(16, 16, QByteArray(16, '\0'));
    write_file("2418.eep", backup_images::backup("2418.eep", image));
    write_file("8800.upd", "not this\r\n");
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.eep";
    f.state.Chosen_file = "8800.upd";
    f.Cmd_read_eeprom->set_back_color(colors::kRed);
    replies_[2] = "#@";
    QStringList looks;
    on_each_write = [&](const QByteArray&) {
        looks << f.Cmd_write_eeprom->caption() + " " + f.title() + " " +
                     (f.Cmd_write_eeprom->back_color() == colors::kGreen ? "green" : "magenta");
    };
    sign_on_at(100);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte},
                                         {191, "#10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r"},
                                         {232, "#1000100000000000000000000000000000000000E0\r"}}));
    EXPECT_EQ(log_lines(), (QStringList{"Hardware Id = #2418", "WRITING; 2418.eep", kEepromSuccess,
                                        kVerifyHint}));
    EXPECT_EQ(looks,
              (QStringList{"BUSY!  magenta", "BUSY! Wait untill EEPROM upload FINISHED! green",
                           "BUSY! Wait untill EEPROM upload FINISHED! green"}));
    EXPECT_TRUE(f.Cmd_read_eeprom->has_normal_face());
    EXPECT_EQ(f.state.Eeprom_file, "2418.eep");
    EXPECT_EQ(f.state.Chosen_file, "8800.upd");
    EXPECT_TRUE(dialogs_.boxes.empty());
    expect_ended(f);

    // With no EEPROM file named yet, the file picked in the list is sent and becomes it.
    f.state.Eeprom_file.clear();
    const QByteArray spare = backup_images::backup("6418.eep", backup_images::pattern(2048, 3));
    write_file("6418 spare.eep", spare);
    f.state.Chosen_file = path("6418 spare.eep");
    replies_ = {{1, "#@"}};
    const std::int64_t t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(),
              (std::vector<Sent>{{t, kStartByte}, {t + 91, spare.left(spare.indexOf('\n'))}}));
    EXPECT_EQ(f.state.Eeprom_file, path("6418 spare.eep"));
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2),
              (QStringList{kEepromSuccess,
                           "To verify: right-click Write EEP to compare the board "
                           "with 6418 spare.eep."}));
}

// Mended: the id check looks at the file actually sent, not at the last pick in the list.
TEST_F(Update_vimbo_test, HardwareIdIsCheckedAgainstTheFileBeingSent) {
    write_file("8800.upd", "L1\r\n");
    write_file("2400 main.upd", "M1\r\n");
    write_file("24xx.upd", "X1\r\n");
    write_file("2400.upd", "E1\r\n");  // sent by Write EEP unchecked
    Vimbo_form& f = ready();
    replies_ = {{1, "#@"}};
    auto run = [&](Vb_button* button) {
        dialogs_.boxes.clear();
        f.List_1->clear_items();
        sign_on_at(clock_.now_ms() + 100);
        click(button);
        EXPECT_TRUE(dialogs_.boxes.empty());
        expect_ended(f);
    };
    const QString mismatch = "ERROR, Hardware do not match File!";

    // No file ever picked: 8800.upd goes, and "#2400" / "#8002" do not match it.
    for (const char* id : {"#2400", "#8002"}) {
        id_ = id;
        f.state.Chosen_file.clear();
        run(f.Cmd_update_vimbo);
        EXPECT_EQ(log_lines(),
                  (QStringList{kDontClick, "Hardware responding...", "8800.upd", mismatch}));
        EXPECT_EQ(sent().size(), 1u);  // the start byte only
        EXPECT_EQ(f.hint(), kPressInitialize);
    }

    // A pick of a 2400 file, then a right click: File_id still says 2400, but 8800.upd goes.
    id_ = "#2400";
    f.state.File_id = "2400";
    f.state.Chosen_file.clear();
    run(f.Cmd_update_vimbo);
    EXPECT_EQ(log_lines().last(), mismatch);

    // The picked file is made for the board.
    f.state.Chosen_file = path("2400 main.upd");
    f.state.File_id = "8800";
    run(f.Cmd_update_vimbo);
    EXPECT_EQ(
        log_lines().mid(3),
        (QStringList{"Hardware Id = #2400", "WRITING; " + path("2400 main.upd"), kUpdateSuccess}));
    EXPECT_EQ(f.hint(), "M1");
    EXPECT_EQ(sent().back().bytes, "M1\r");

    // "24xx" is not 2400.
    f.state.Chosen_file = path("24xx.upd");
    f.state.File_id = "2400";
    run(f.Cmd_update_vimbo);
    EXPECT_EQ(log_lines().last(), mismatch);
    EXPECT_EQ(sent().size(), 1u);

    // The EEPROM write checks its own file, whatever was picked.
    f.state.Eeprom_file = "2400.upd";
    f.state.File_id = "8002";
    run(f.Cmd_write_eeprom);
    EXPECT_EQ(log_lines(),
              (QStringList{"Hardware Id = #2400", "WRITING; 2400.upd", kEepromSuccess}));
    EXPECT_EQ(sent().back().bytes, "E1\r");
    id_ = "#8002";
    run(f.Cmd_write_eeprom);
    EXPECT_EQ(log_lines(), QStringList{mismatch});

    // The hint shows the match until the first line replaces it.
    id_ = "#2400";
    QString hint_in_first_pause;
    const std::int64_t t = clock_.now_ms();
    clock_.at(t + 130, [&] { hint_in_first_pause = f.hint(); });
    run(f.Cmd_write_eeprom);
    EXPECT_EQ(hint_in_first_pause, "Hardware match for; 2400");
    EXPECT_EQ(f.hint(), "E1");

    // The unchecked ids take any file.
    id_ = "#2928";
    replies_ = {{1, "#@"}};
    f.state.Chosen_file = path("24xx.upd");
    run(f.Cmd_update_vimbo);
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
}

TEST_F(Update_vimbo_test, SignOnBytesAndASignOnAlreadyWaiting) {
    write_file("8800.upd", "L1\r\n");
    write_file("2418.upd", "E1\r\n");  // sent by Write EEP unchecked
    Vimbo_form& f = ready();
    replies_ = {{1, "#@"}};
    // Lines that are no sign-on, then the loader's own sign-on byte 0xD0.
    clock_.at(100, [&] { board().deliver("#\r#\xBF\r# \xBE\r\xBE\r"); });
    sign_on_at(200, char(0xD0));
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{200, kStartByte}, {291, "L1\r"}}));
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);

    // A sign-on received before the click: the EEPROM write goes on at once...
    board().deliver("#\xBE\r");
    clock_.run_pending();
    ASSERT_EQ(f.state.Rx_reply, QString::fromLatin1("#\xBE"));
    f.state.Eeprom_file = "2418.upd";
    std::int64_t t = clock_.now_ms();
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t, kStartByte}, {t + 91, "E1\r"}}));
    EXPECT_EQ(log_lines().last(), kEepromSuccess);

    // ...while UPDATE empties the mailbox first and waits for a new one.
    board().deliver("#\xBE\r");
    clock_.run_pending();
    t = clock_.now_ms();
    sign_on_at(t + 700);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t + 700, kStartByte}, {t + 791, "L1\r"}}));

    // The sign-on wait has no time limit: an hour later the transfer still goes.
    t = clock_.now_ms();
    sign_on_at(t + 3600 * 1000);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(),
              (std::vector<Sent>{{t + 3600 * 1000, kStartByte}, {t + 3600 * 1000 + 91, "L1\r"}}));
    expect_ended(f);
}

TEST_F(Update_vimbo_test, RunTimeFailuresShowTheFailureBoxAndCleanUp) {
    Vimbo_form& f = ready();
    // 8800.upd is missing: nothing is sent.
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    EXPECT_EQ(log_lines(),
              (QStringList{kDontClick, "Upload stopped: the file cannot be read; 8800.upd"}));
    EXPECT_EQ(f.state.Chosen_file, "8800.upd");
    expect_ended(f);

    // The EEPROM write with no name at all: refused before any wait, nothing sent.
    dialogs_.boxes.clear();
    f.state.Chosen_file.clear();
    click(f.Cmd_write_eeprom);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{write_refusal_box(no_backup_named())});
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_EQ(f.files.count(), 0u);

    // A send refused in the middle of the transfer.
    write_file("8800.upd", "L1\r\nL2\r\n");
    f.state.Chosen_file.clear();
    dialogs_.boxes.clear();
    std::int64_t t = clock_.now_ms();
    on_each_write = [&](const QByteArray& b) {
        if (b == "L1\r") port_.fail_writes = true;
    };
    std::int64_t box_at = -1;
    dialogs_.on_box = [&](const QString&) { box_at = clock_.now_ms(); };
    sign_on_at(t + 100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t + 100, kStartByte}, {t + 191, "L1\r"}}));
    EXPECT_EQ(box_at, t + 232);
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::update_failed_text()});
    expect_ended(f);
    port_.fail_writes = false;
    on_each_write = nullptr;

    // The file closed under the transfer (as by a command that closes every file): the next
    // line cannot be read.
    dialogs_.boxes.clear();
    t = clock_.now_ms();
    sign_on_at(t + 100);
    clock_.at(t + 200, [&] { f.files.close_all(); });
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t + 100, kStartByte}, {t + 191, "L1\r"}}));
    EXPECT_EQ(box_at, t + 232);
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    expect_ended(f);

    // The port closed under a sign-on already received: the start byte cannot go.
    f.MSerial.set_PortOpen(false);
    dialogs_.boxes.clear();
    f.state.Eeprom_file = "8800.upd";
    f.state.Rx_reply = QString::fromLatin1("#\xBE");
    click(f.Cmd_write_eeprom);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::eeprom_failed_text()});
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_EQ(f.title(), " VIMBO .....");
    EXPECT_EQ(f.files.count(), 0u);
    EXPECT_FALSE(clock_.stalled());
}

TEST_F(Update_vimbo_test, TheUploadClosesOnlyItsOwnFile) {
    write_file("8800.upd", "L1\r\n");
    write_file("examples.txt", "x\r\n");
    Vimbo_form& f = ready();
    Tracked_file other(f.files, path("examples.txt"));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    replies_ = {{1, "#@"}};
    std::size_t open_during = 0;
    on_each_write = [&](const QByteArray&) { open_during = f.files.count(); };
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(open_during, 2u);
    EXPECT_TRUE(other.isOpen());
    EXPECT_EQ(f.files.count(), 1u);
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
}

TEST_F(Update_vimbo_test, ExitDuringTheTransferEndsItAtOnce) {
    write_file("8800.upd", "L1\r\nL2\r\nL3\r\n");
    Vimbo_form& f = ready();
    sign_on_at(100);
    click_at(200, f.Cmd_exit);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "L1\r"}}));
    EXPECT_EQ(quit_calls_, 1);
    EXPECT_EQ(f.files.count(), 0u);
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_FALSE(clock_.stalled());
    EXPECT_EQ(f.title(), "Wait untill UPDATE upload FINISHED!");  // no clean-up ran
}

// The fill grows with the lines sent, in steps of 1 % of the file.
TEST_F(Update_vimbo_test, ProgressFillsTheHintLineInStepsOfOnePercent) {
    QByteArray file;
    for (int i = 0; i < 250; ++i) file += "line " + QByteArray::number(i) + "\r\n";
    write_file("8800.upd", file);
    Vimbo_form& f = ready();
    replies_ = {{250, "#@"}};
    default_reply_ = "#$";
    reply_after_ms_ = 1;
    std::vector<double> seen;  // the fill when each line after the first goes out
    on_each_write = [&](const QByteArray& b) {
        if (b.startsWith("line ") && b != "line 0\r") seen.push_back(f.Label1->progress());
    };
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    ASSERT_EQ(seen.size(), 249u);
    EXPECT_LT(seen[0], 0);  // 1 line of 250 is less than a step
    EXPECT_LT(seen[1], 0);
    EXPECT_DOUBLE_EQ(seen[2], 3.0 / 250);  // after 3 lines: the first step
    std::set<double> steps;
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i], seen[i - 1]);
        if (seen[i] >= 0) steps.insert(seen[i]);
    }
    EXPECT_EQ(steps.size(), 99u);
    EXPECT_DOUBLE_EQ(seen.back(), 248.0 / 250);
    EXPECT_EQ(log_lines().last(), kUpdateSuccess);
    expect_ended(f);
}
