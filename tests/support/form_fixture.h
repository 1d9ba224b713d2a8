#pragma once
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "app/vimbo_form.h"
#include "tests/support/fake_port.h"
#include "tests/support/fake_port_list.h"
#include "tests/support/fakes.h"
#include "tests/support/qt_printers.h"
#include "tests/support/virtual_clock.h"

// A window on a virtual clock with a fake port, fake dialogs and a fake editor, in a fresh
// temporary working folder.
class Form_test : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the window (after the test has prepared the folder, e.g. a settings file).
    Vimbo_form& make_form();
    Vimbo_form& form() { return *form_; }
    Fake_port& board() { return *port_.port; }
    // Opens COM n through the real "Com/usb" handler.
    void open_port(int n = 3, int baud = 9600);
    // Every byte written to the port since the last call.
    QByteArray take_written();
    QString path(const QString& name) const { return dir_.filePath(name); }
    void write_file(const QString& name, const QByteArray& content) const;
    QByteArray read_file(const QString& name) const;
    QStringList log_lines() const;

    Virtual_clock clock_;
    // The wall clock at virtual time 0 (local time): dates and times of day follow the
    // virtual clock from there.
    QDateTime wall_start_{QDate(2026, 12, 10), QTime(9, 30)};
    Record_disk* record_disk_ = nullptr;  // null: the real files in the working folder
    Fake_port::Shared port_;
    Fake_port_list port_list_;  // the machine's serial ports as the port chooser sees them
    Fake_dialogs dialogs_;
    Fake_editor editor_;
    int quit_calls_ = 0;
    std::size_t writes_taken_ = 0;

  private:
    QTemporaryDir dir_;
    QTemporaryDir user_settings_;  // the user's own settings, fresh for each test
    QString old_dir_;
    std::unique_ptr<Vimbo_form> form_;
};
