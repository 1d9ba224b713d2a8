#pragma once
#include <QString>
#include <functional>

#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "serial/qt_port_backend.h"
#include "tests/support/fakes.h"

// The real window on Qt's event loop with the real serial port, and dialogs and editor
// that answer as scripted: what the tools and benchmarks drive against the simulator.
struct Real_window {
    Qt_event_services events;
    Fake_dialogs dialogs;
    Fake_editor editor;
    Vimbo_form form{
        Form_services{events, std::make_unique<Qt_port_backend>(), &dialogs, &editor, [] {}}};
};

// Queues the answer to the EEPROM name prompt; once it is given, the board is reset as
// Initialize does it, so that it signs on and takes the dump command.
void answer_name_then_reset(Fake_dialogs& dialogs, Vimbo_form& form, const QString& name);

// Runs press (a click that returns when its transfer has ended); a transfer still running
// after guard_ms is ended as by Close/Exit. True when the guard did not have to act.
bool press_with_guard(Vimbo_form& form, const std::function<void()>& press, int guard_ms);
