#include "upload/write_check.h"
#include "eeprom/backup_file.h"
#include "tests/backup_images.h"
#include "tests/upload_fixture.h"

namespace {
const QString kEepromSuccess = "#@ Eeprom upload to RQMxx succesfull!";
const QString kVerifyHint = "To verify: right-click Write EEP to compare the board with 2418.eep.";

QByteArray sound_2418(int seed = 1) {
    return backup_images::backup("2418.eep", backup_images::pattern(1024, seed));
}
}  // namespace

class Write_check_test : public Upload_test {
  protected:
    // A click on Write EEP with a board that would sign on at once: a refused file sends
    // nothing, not even after the sign-on.
    void expect_refused(Vimbo_form& f, const QString& fault) {
        SCOPED_TRACE(fault.toStdString());
        dialogs_.boxes.clear();
        f.List_1->clear_items();
        const std::int64_t t = clock_.now_ms();
        sign_on_at(t + 100);
        click(f.Cmd_write_eeprom);
        EXPECT_EQ(clock_.now_ms(), t);  // no wait at all
        clock_.advance(500);
        EXPECT_TRUE(sent().empty());
        EXPECT_EQ(log_lines(), QStringList{"EEPROM write refused: " + fault});
        EXPECT_EQ(dialogs_.boxes, std::vector<QString>{write_refusal_box(fault)});
        EXPECT_TRUE(dialogs_.boxes.front().startsWith("EEPROM write refused: " + fault +
                                                      "\r\n\r\nNothing was sent"));
        EXPECT_EQ(f.title(), "EEPROM write refused: " + fault);
        EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
        EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
        EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
        EXPECT_EQ(f.files.count(), 0u);
        EXPECT_FALSE(clock_.stalled());
        f.state.Rx_reply.clear();
    }
};

TEST_F(Write_check_test, AFaultyBackupIsRefusedWithItsLineAndNothingGoesOnTheWire) {
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.eep";
    QList<QByteArray> lines = sound_2418().split('\n');

    lines[11] = lines[11].left(41) + "5A\r";
    write_file("2418.eep", lines.join('\n'));
    const QString right = QString::fromLatin1(sound_2418().split('\n')[11].mid(41, 2));
    expect_refused(f, "2418.eep line 12: checksum 5A, should be " + right);

    write_file("2418.eep", sound_2418().replace("#10029000", "#10029900"));
    const Backup_file moved = load_backup("2418.eep");
    ASSERT_FALSE(moved.sound());
    expect_refused(f, moved.fault());
    EXPECT_TRUE(moved.fault().startsWith("2418.eep line 42: "));

    write_file("2418.eep", sound_2418().split('\n').mid(0, 40).join('\n') + "\n#00000001FF\r\n");
    expect_refused(f, "2418.eep line 41: 40 records, a 324 board needs 64");
    write_file("2418.eep", sound_2418().split('\n').mid(0, 64).join('\n') + "\n");
    expect_refused(f, "2418.eep line 65: no end record");
    write_file("2418.eep", "");
    expect_refused(f, "2418.eep: the file is empty");
    write_file("2418.eep", sound_2418().replace("#10003000", QByteArray("#1000300\0", 9)));
    expect_refused(f, "2418.eep line 4: NUL byte at column 9");
    write_file("2418.eep", sound_2418().replace("#100040", "#10004a"));
    expect_refused(f,
                   "2418.eep line 5: lower-case digit \"a\" at column 7 (the read writes "
                   "upper case)");
    write_file("2418.eep", QByteArray(10 * 1024 * 1024, 'F'));
    expect_refused(f, "2418.eep: more than 1048576 bytes: far too large for a backup");
    QFile::remove(path("2418.eep"));
    expect_refused(f, "2418.eep: cannot be read (No such file or directory)");

    // The picked file, when the read named none; no file at all.
    f.state.Eeprom_file.clear();
    write_file("6418.eep", sound_2418());
    f.state.Chosen_file = path("6418.eep");
    expect_refused(f, "6418.eep line 65: 64 records, a 644 board needs 128");
    f.state.Chosen_file.clear();
    expect_refused(f, no_backup_named());

    // UPDATE sends its files uninterpreted, as before.
    write_file("8800.upd", "L1\r\n");
    replies_ = {{1, "#@"}};
    sign_on_at(clock_.now_ms() + 100);
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(sent().back().bytes, "L1\r");
}

// A sound backup goes exactly as before the check: every line with its CR at its time.
TEST_F(Write_check_test, ASoundBackupIsSentByteForByteAtTodaysTimesThenTheVerifyHint) {
    const QByteArray file = sound_2418();
    write_file("2418.eep", file);
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.eep";
    replies_[65] = "#@";
    sign_on_at(100);
    click(f.Cmd_write_eeprom);

    std::vector<Sent> expected{{100, kStartByte}};
    const QList<QByteArray> lines = file.split('\n');
    for (int i = 0; i < 65; ++i) expected.push_back({191 + 41 * i, lines[i].chopped(1) + "\r"});
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(log_lines(), (QStringList{"Hardware Id = #2418", "WRITING; 2418.eep", kEepromSuccess,
                                        kVerifyHint}));
    EXPECT_TRUE(dialogs_.boxes.empty());
    expect_ended(f);

    // Without "#@" there is no success and no hint.
    f.List_1->clear_items();
    replies_ = {{3, "#!"}};
    sign_on_at(clock_.now_ms() + 100);
    click(f.Cmd_write_eeprom);
    EXPECT_FALSE(log_lines().contains(kVerifyHint));
    // An update file sent by Write EEP is no image: no hint either.
    write_file("2418.upd", "U1\r\n");
    f.state.Eeprom_file = "2418.upd";
    replies_ = {{1, "#@"}};
    sign_on_at(clock_.now_ms() + 100);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(log_lines().last(), kEepromSuccess);
}

// Between the check and the send the file may change or vanish: what was checked is sent,
// or nothing with a reason; never a mix.
TEST_F(Write_check_test, AFileThatChangesAfterItsCheckIsSentAsCheckedOrNotAtAll) {
    const QByteArray file = sound_2418();
    write_file("2418.eep", file);
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.eep";

    // Changed during the sign-on wait: nothing is sent, not even the start byte.
    clock_.at(50, [&] { write_file("2418.eep", sound_2418(2)); });
    sign_on_at(100);
    click(f.Cmd_write_eeprom);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(log_lines(), QStringList{"Upload stopped: 2418.eep changed after its check; "
                                       "nothing was sent."});
    EXPECT_EQ(dialogs_.boxes, std::vector<QString>{Upload_procedure::eeprom_failed_text()});
    expect_ended(f);

    // Gone during the sign-on wait.
    dialogs_.boxes.clear();
    f.List_1->clear_items();
    write_file("2418.eep", file);
    std::int64_t t = clock_.now_ms();
    clock_.at(t + 50, [&] { QFile::remove(path("2418.eep")); });
    sign_on_at(t + 100);
    click(f.Cmd_write_eeprom);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(log_lines(), QStringList{"Upload stopped: the file cannot be read; 2418.eep"});
    EXPECT_EQ(dialogs_.boxes.size(), 1u);

    // Another file picked during the sign-on wait, when the read named none.
    dialogs_.boxes.clear();
    f.List_1->clear_items();
    write_file("2418.eep", file);
    write_file("2428.eep", file);
    f.state.Eeprom_file.clear();
    f.state.Chosen_file = path("2418.eep");
    t = clock_.now_ms();
    clock_.at(t + 50, [&] { f.state.Chosen_file = path("2428.eep"); });
    sign_on_at(t + 100);
    click(f.Cmd_write_eeprom);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(log_lines(), QStringList{"Upload stopped: 2428.eep is not the file checked "
                                       "(2418.eep); nothing was sent."});

    // Changed while its lines go: the lines sent are all those checked.
    f.state.Eeprom_file = "2418.eep";
    replies_ = {{65, "#@"}};
    t = clock_.now_ms();
    clock_.at(t + 300, [&] { write_file("2418.eep", sound_2418(3)); });
    sign_on_at(t + 100);
    click(f.Cmd_write_eeprom);
    QByteArray sent_lines;
    for (const Sent& s : sent()) {
        if (s.bytes != kStartByte) sent_lines += s.bytes;
    }
    QByteArray checked_lines = file.split('\n').mid(0, 65).join('\n') + "\n";
    checked_lines.replace("\r\n", "\r");
    EXPECT_EQ(sent_lines, checked_lines);
    EXPECT_EQ(log_lines().mid(log_lines().size() - 2), (QStringList{kEepromSuccess, kVerifyHint}));
}
