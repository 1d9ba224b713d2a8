#include "tests/fault_pty_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "app/control_table.h"
#include "app/receiver.h"

namespace {
// No fault case takes anywhere near this long; the guard only keeps a hang from stalling
// the suite.
constexpr int kHangGuardMs = 60000;
}  // namespace

const QString Fault_pty_test::kBackup = QStringLiteral("2418.eep");
const QByteArray Fault_pty_test::kOldBackup =
    "#100000004F7E2D1C0A0B0C0D0E0F101112131415161700\r\n"
    "an older backup of this board, kept byte for byte\r\n";
const QString Fault_pty_test::kUpdateSuccess =
    QStringLiteral("#@ Software Update to RQMxx succesfull!");
const QString Fault_pty_test::kEepromSuccess =
    QStringLiteral("#@ Eeprom upload to RQMxx succesfull!");

void Fault_pty_test::TearDown() {
    scenario_.stop();
    Pty_test::TearDown();
}

Vimbo_form& Fault_pty_test::ready(const QStringList& sim_options) {
    board_.image = Eeprom_board_script::make_image(1024, 2418);
    write_file("board.bin", board_.image);
    write_file(kBackup, kOldBackup);
    EXPECT_TRUE(start_sim(3, QStringList{"--eeprom-image", path("board.bin")} + sim_options));
    Vimbo_form& f = make_form();
    f.show();
    f.Text_com_number->setText("3");
    f.Text_baud_rate->setText("115200");
    click(f.Cmd_com_usb);
    EXPECT_TRUE(f.MSerial.PortOpen());
    EXPECT_EQ(log_lines(), QStringList{"COMM:3 115200b/s.N.8.1..."});
    return f;
}

void Fault_pty_test::click(Vb_button* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void Fault_pty_test::run_guarded(const std::function<void()>& press, int guard_ms) {
    Vimbo_form& f = form();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [this, &f] {
        hang_guard_fired_ = true;
        f.Cmd_exit_Click();
    });
    guard.start(guard_ms);
    press();
    guard.stop();
}

void Fault_pty_test::read_eeprom(const QString& name, bool initialize) {
    Vimbo_form& f = form();
    dialogs_.answers.push_back([this, &f, name, initialize] {
        if (initialize) QTimer::singleShot(0, &f, [this, &f] { click(f.Cmd_initialize_vimbo); });
        return name;
    });
    run_guarded([this, &f] { click(f.Cmd_read_eeprom); }, kHangGuardMs);
}

void Fault_pty_test::upload(Vb_button* button, bool initialize) {
    Vimbo_form& f = form();
    if (initialize) QTimer::singleShot(0, &f, [this, &f] { click(f.Cmd_initialize_vimbo); });
    run_guarded([this, button] { click(button); }, kHangGuardMs);
}

void Fault_pty_test::cancel_read() {
    dialogs_.answer(form().state.Eeprom_file);
    click(form().Cmd_read_eeprom);
}

void Fault_pty_test::type_while(const std::function<bool()>& waiting) {
    Vb_text_box* line = form().Text_Cmd;
    const QString before = line->text();
    const bool waiting_before = waiting();
    QTest::keyClick(line, 'z');
    typed_while_waiting_ = waiting_before && waiting() && line->text() == before + QLatin1Char('z');
}

bool Fault_pty_test::read_busy() {
    return form().Cmd_read_eeprom->caption() == "BUSY!";
}
bool Fault_pty_test::update_busy() {
    return form().Cmd_update_vimbo->caption() == "BUSY!";
}
bool Fault_pty_test::write_busy() {
    return form().Cmd_write_eeprom->caption() == "BUSY!";
}

QString Fault_pty_test::sim_status() {
    if (!sim_.command(QStringLiteral("status"))) return {};
    const QStringList lines = sim_.lines();
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->startsWith(QLatin1String("status "))) return *line;
    }
    return {};
}

void Fault_pty_test::write_file(const QString& name, const QByteArray& bytes) const {
    QFile out(path(name));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

QByteArray Fault_pty_test::file(const QString& name) const {
    QFile in(path(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool Fault_pty_test::exists(const QString& name) const {
    return QFile::exists(path(name));
}

QByteArray Fault_pty_test::update_file(int records) const {
    return board_.records(records) + "#00000001FF\r\n";
}

void Fault_pty_test::expect_no_success() {
    const QStringList log = log_lines();
    EXPECT_FALSE(log.contains(kUpdateSuccess));
    EXPECT_FALSE(log.contains(kEepromSuccess));
    EXPECT_FALSE(form().hint().startsWith("Done and saved to; ")) << form().hint().toStdString();
}

void Fault_pty_test::expect_transfers_idle() {
    const Vimbo_form& f = form();
    EXPECT_EQ(f.Cmd_read_eeprom->caption(), "Read EEP");
    EXPECT_TRUE(f.Cmd_read_eeprom->has_normal_face());
    EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
    EXPECT_TRUE(f.Cmd_update_vimbo->has_normal_face());
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_LT(f.Label1->progress(), 0);
    EXPECT_EQ(f.files.count(), 0u);
}

void Fault_pty_test::expect_old_backup_intact() const {
    EXPECT_EQ(file(kBackup), kOldBackup);
    EXPECT_FALSE(exists(kBackup + ".tmp"));
}

void Fault_pty_test::expect_log_lines_whole() const {
    for (const QString& line : log_lines()) {
        EXPECT_FALSE(line.contains(QLatin1Char('\r')));
        EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        EXPECT_LE(line.size(), Receiver::kMaxPartialLine);
    }
}

void Fault_pty_test::expect_complete_backup(const QString& name) const {
    const QByteArray backup = file(name);
    EXPECT_TRUE(backup.startsWith(board_.records(64) + "#00000001FF\r\n\r\n\r\n"
                                                       "Mcu type; 324 / SMS Controller type Rq5\r\n"
                                                       "1024 Eeprom bytes.\r\nDump date; "));
    EXPECT_TRUE(backup.endsWith("\r\n\r\n"));
    EXPECT_EQ(backup.count("\r\n"), 64 + 7);
}
