#include <QDir>

#include "tests/backup_images.h"
#include "tests/upload_fixture.h"

class Upload_commands_test : public Upload_test {
  protected:
    QListWidgetItem* item(Vimbo_form& f, const QString& name) {
        const auto found = f.File_list_1->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QPoint centre_of(Vimbo_form& f, const QString& name) {
        QListWidgetItem* it = item(f, name);
        return it ? f.File_list_1->visualItemRect(it).center() : QPoint();
    }
    void double_click(Vimbo_form& f, const QString& name) {
        const QPoint at = centre_of(f, name);
        QTest::mouseClick(f.File_list_1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f.File_list_1->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList names(Vimbo_form& f) {
        QStringList out;
        for (int i = 0; i < f.File_list_1->count(); ++i) out << f.File_list_1->item(i)->text();
        return out;
    }
};

TEST_F(Upload_commands_test, ShowPickAndClearWithTheirCaptionsAndTitles) {
    write_file("8002abc.upd", "x\r\n");
    write_file("2418.eep", "y\r\n");
    Vimbo_form& f = ready();
    EXPECT_TRUE(f.File_list_1->isHidden());
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "UPD File?");
    write_file("6418.upd", "z\r\n");  // made after start-up: the show refreshes the list

    click(f.Cmd_show_upd_file);
    EXPECT_FALSE(f.File_list_1->isHidden());
    EXPECT_EQ(names(f), (QStringList{"2418.eep", "6418.upd", "8002abc.upd"}));
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "Upd file ?");
    EXPECT_EQ(f.hint(), " Double Click on the Update.file ( eg: 24xx.Upd )");
    EXPECT_EQ(f.title(), " Double Click on the Update.file to load");

    // A left press alone does nothing; the double click picks.
    QTest::mousePress(f.File_list_1->viewport(), Qt::LeftButton, {}, centre_of(f, "8002abc.upd"));
    QTest::mouseRelease(f.File_list_1->viewport(), Qt::LeftButton, {}, centre_of(f, "8002abc.upd"));
    EXPECT_FALSE(f.File_list_1->isHidden());
    EXPECT_EQ(f.title(), " Double Click on the Update.file to load");
    double_click(f, "8002abc.upd");
    const QString chosen =
        QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + "8002abc.upd";
    EXPECT_EQ(f.state.Chosen_file, chosen);
    EXPECT_TRUE(QFile::exists(f.state.Chosen_file));
    EXPECT_EQ(f.state.File_id, "8002");
    EXPECT_EQ(f.title(), chosen);
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "8002abc.upd");
    EXPECT_TRUE(f.File_list_1->isHidden());
    EXPECT_EQ(f.hint(), " Double Click on the Update.file ( eg: 24xx.Upd )");

    // A right press on the list clears the pick; File_id stays.
    click(f.Cmd_show_upd_file);
    QTest::mousePress(f.File_list_1->viewport(), Qt::RightButton, {}, centre_of(f, "2418.eep"));
    EXPECT_EQ(f.state.Chosen_file, "");
    EXPECT_EQ(f.state.File_id, "8002");
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "Upd File ?");
    EXPECT_EQ(f.title(), "");
    EXPECT_EQ(f.hint(), "");
    EXPECT_TRUE(f.File_list_1->isHidden());

    // A short name is its own id.
    write_file("ab", "");
    click(f.Cmd_show_upd_file);
    double_click(f, "ab");
    EXPECT_EQ(f.state.File_id, "ab");
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "ab");
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_TRUE(port_.writes.empty());
}

// In the update use the file is opened once the board has signed on: a pick made before
// that is the one sent.
TEST_F(Upload_commands_test, APickDuringTheSignOnWaitIsTheFileSent) {
    write_file("8800.upd", "default\r\n");
    write_file("2418 new.upd", "N1\r\n");
    Vimbo_form& f = ready();
    replies_ = {{1, "#@"}};
    clock_.at(50, [&] {
        click(f.Cmd_show_upd_file);
        double_click(f, "2418 new.upd");
    });
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    const QString chosen =
        QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + "2418 new.upd";
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "N1\r"}}));
    EXPECT_EQ(log_lines(),
              (QStringList{"Don't click on BUSY to escape but wait!", "Hardware responding...",
                           chosen, "Hardware Id = #2418", "WRITING; " + chosen,
                           "#@ Software Update to RQMxx succesfull!"}));
    EXPECT_EQ(f.state.Chosen_file, chosen);
    EXPECT_EQ(f.Cmd_show_upd_file->caption(), "2418 new.upd");
    expect_ended(f);

    // Once Eeprom_file holds a name, a pick does not change what Write EEP sends.
    const QByteArray backup = backup_images::backup("2418.eep", backup_images::pattern(1024, 1));
    write_file("2418.eep", backup);
    f.state.Eeprom_file = "2418.eep";
    const std::int64_t t = clock_.now_ms() + 100;
    sign_on_at(t);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(sent(), (std::vector<Sent>{{t, kStartByte}, {t + 91, backup.left(43) + "\r"}}));
    EXPECT_EQ(f.state.Eeprom_file, "2418.eep");
}

// The three transfer buttons lock each other out through their busy captions.
TEST_F(Upload_commands_test, EachStartCommandRefusesWhileAnotherTransferButtonIsBusy) {
    write_file("8800.upd", "L1\r\n");
    write_file("2418.eep", "E1\r\n");
    Vimbo_form& f = ready();
    f.state.Eeprom_file = "2418.eep";
    f.state.Rx_reply = "#$";
    f.set_title("before");

    // Read EEP busy (an EEPROM read running): neither command starts.
    f.Cmd_read_eeprom->setText("BUSY!");
    f.Cmd_read_eeprom->set_back_color(colors::kRed);
    click(f.Cmd_update_vimbo);
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_EQ(f.Cmd_read_eeprom->caption(), "BUSY!");
    EXPECT_EQ(f.state.Rx_reply, "#$");
    EXPECT_FALSE(f.state.Abort_request);
    EXPECT_EQ(f.title(), "before");
    EXPECT_TRUE(log_lines().isEmpty());
    EXPECT_EQ(f.hint(), "");
    f.Cmd_read_eeprom->setText("Read EEP");
    f.Cmd_read_eeprom->set_back_color(colors::kNormalFace);

    // Write EEP busy: UPDATE refuses, and leaves the mailbox alone.
    f.Cmd_write_eeprom->setText("BUSY!");
    click(f.Cmd_update_vimbo);
    EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
    EXPECT_EQ(f.state.Rx_reply, "#$");
    EXPECT_FALSE(f.state.Abort_request);
    f.Cmd_write_eeprom->setText("Write EEP");

    // UPDATE busy: Write EEP refuses.
    f.Cmd_update_vimbo->setText("BUSY!");
    click(f.Cmd_write_eeprom);
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_FALSE(f.state.Abort_request);
    f.Cmd_update_vimbo->setText("UPDATE");

    // A running update: Write EEP refuses in every state, and so does a second update.
    replies_ = {{1, "#@"}};
    bool refused_in_sign_on_wait = false;
    bool refused_while_sending = false;
    auto refused = [&] {
        click(f.Cmd_write_eeprom);
        return f.Cmd_write_eeprom->caption() == "Write EEP" &&
               f.Cmd_write_eeprom->has_normal_face() && !f.state.Abort_request &&
               f.Cmd_update_vimbo->caption() == "BUSY!";
    };
    clock_.at(50, [&] { refused_in_sign_on_wait = refused(); });
    clock_.at(170, [&] { refused_while_sending = refused(); });
    sign_on_at(100);
    click(f.Cmd_update_vimbo);
    EXPECT_TRUE(refused_in_sign_on_wait);
    EXPECT_TRUE(refused_while_sending);
    EXPECT_EQ(sent(), (std::vector<Sent>{{100, kStartByte}, {191, "L1\r"}}));
    EXPECT_EQ(log_lines().last(), "#@ Software Update to RQMxx succesfull!");
    expect_ended(f);
}
