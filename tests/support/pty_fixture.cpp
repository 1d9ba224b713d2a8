#include "tests/support/pty_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSettings>
#include <QTimer>

#include "serial/qt_port_backend.h"

void Pty_test::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(user_settings_.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, user_settings_.path());
    old_dir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
}

void Pty_test::TearDown() {
    form_.reset();
    sim_.stop();
    QDir::setCurrent(old_dir_);
}

bool Pty_test::start_sim(int port, const QStringList& extra) {
    return sim_.start(dir_.path(), port, extra);
}

Vimbo_form& Pty_test::make_form() {
    form_ = std::make_unique<Vimbo_form>(Form_services{events_,
                                                       std::make_unique<Qt_port_backend>(),
                                                       &dialogs_,
                                                       &editor_,
                                                       [this] { ++quit_calls_; },
                                                       {},
                                                       nullptr,
                                                       port_list_});
    return *form_;
}

bool Pty_test::run_until(const std::function<bool()>& done, int guard_ms) {
    const QDeadlineTimer deadline(guard_ms);
    QTimer wake;  // so that the guard is looked at even when nothing happens
    wake.start(50);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QStringList Pty_test::log_lines() const {
    QStringList lines;
    for (int i = 0; i < form_->List_1->count(); ++i) lines << form_->List_1->item(i);
    return lines;
}
