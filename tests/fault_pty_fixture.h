#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "tests/eeprom_board_script.h"
#include "tests/pty_scenario.h"
#include "tests/support/pty_fixture.h"

class Vb_button;

// The fault cases over a pseudo-terminal: the real window and port, opened at 115200 b/s,
// against the board simulator serving a known 1024-byte image, with an older backup of the
// board in the folder; and the checks every fault case must pass.
class Fault_pty_test : public Pty_test {
  protected:
    void TearDown() override;

    // Starts the simulator on COM 3 (extra: its options), makes and shows the window and
    // opens COM 3 at 115200 b/s as the user does: the boxes, then "Com/usb".
    Vimbo_form& ready(const QStringList& sim_options = {});

    // Presses Read EEP and answers its prompt with name; with initialize, Initialize is
    // clicked as soon as the read waits for the sign-on. Returns once the read has ended.
    void read_eeprom(const QString& name, bool initialize = true);
    // Presses UPDATE or Write EEP; with initialize, Initialize is clicked as soon as the
    // transfer waits for the sign-on. Returns once the transfer has ended.
    void upload(Vb_button* button, bool initialize = true);
    // A second press of the busy Read EEP button, its prompt confirmed: the cancel.
    void cancel_read();
    void click(Vb_button* button);

    // The user at the window while it waits: a key typed into the command line must
    // arrive there while waiting() holds before and after. The outcome is kept in
    // typed_while_waiting_.
    void type_while(const std::function<bool()>& waiting);
    bool read_busy();
    bool update_busy();
    bool write_busy();

    bool logged(const QString& line) const { return log_lines().contains(line); }
    // The simulator's status line ("status mode=... eeprom_lines=... upload_lines=...").
    QString sim_status();
    void write_file(const QString& name, const QByteArray& bytes) const;
    QByteArray file(const QString& name) const;
    bool exists(const QString& name) const;
    // An update file of n data records of the board's image and the end record.
    QByteArray update_file(int records) const;

    // Checks shared by every case.
    void expect_no_success();
    void expect_transfers_idle();
    void expect_old_backup_intact() const;
    void expect_log_lines_whole() const;  // no CR or LF in any line, none past the cut
    void expect_complete_backup(const QString& name) const;

    static const QString kBackup;  // "2418.eep": the board's backup, kept from an older read
    static const QByteArray kOldBackup;
    static const QString kUpdateSuccess;
    static const QString kEepromSuccess;

    Eeprom_board_script board_;
    Scenario scenario_;
    bool typed_while_waiting_ = false;
    bool hang_guard_fired_ = false;

  private:
    void run_guarded(const std::function<void()>& press, int guard_ms);
};
