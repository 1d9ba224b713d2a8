#include "tests/support/real_window.h"

#include <QTimer>

void answer_name_then_reset(Fake_dialogs& dialogs, Vimbo_form& form, const QString& name) {
    dialogs.answers.push_back([&form, name] {
        QTimer::singleShot(0, &form, [&form] {
            for (const char byte : {'\x00', '\x18', '\x21'}) {
                form.MSerial.Output(QString(QChar(byte)));
            }
        });
        return name;
    });
}

bool press_with_guard(Vimbo_form& form, const std::function<void()>& press, int guard_ms) {
    bool timed_out = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &form, [&form, &timed_out] {
        timed_out = true;
        form.Cmd_exit_Click();
    });
    guard.start(guard_ms);
    press();
    return !timed_out;
}
