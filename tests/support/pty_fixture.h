#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "tests/support/fakes.h"
#include "tests/support/qt_printers.h"
#include "tests/support/sim_process.h"

// The real window with the real QSerialPort and Qt's event loop, talking to the board
// simulator over a pseudo-terminal linked as comN in a temporary working folder.
class Pty_test : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the simulator for COM port n (extra: its options).
    bool start_sim(int port = 3, const QStringList& extra = {});
    Vimbo_form& make_form();
    Vimbo_form& form() { return *form_; }
    // Runs the event loop until done() or the guard timeout (a hang guard, not a timing).
    bool run_until(const std::function<bool()>& done, int guard_ms = 20000);
    QStringList log_lines() const;
    QString path(const QString& name) const { return dir_.filePath(name); }

    Sim_process sim_;
    Fake_dialogs dialogs_;
    Fake_editor editor_;
    Qt_event_services events_;
    int quit_calls_ = 0;
    const Port_list* port_list_ = nullptr;  // null: the system's serial ports

  private:
    QTemporaryDir dir_;
    QTemporaryDir user_settings_;  // the user's own settings, fresh for each test
    QString old_dir_;
    std::unique_ptr<Vimbo_form> form_;
};
