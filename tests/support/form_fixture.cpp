#include "tests/support/form_fixture.h"

#include <QFile>
#include <QSettings>

#include "app/port_opening.h"
#include "serial/port_names.h"

void Form_test::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(user_settings_.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, user_settings_.path());
    old_dir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    for (int n = 1; n <= 16; ++n) port_.devices.insert(device_for_com_port(n));
}

void Form_test::TearDown() {
    form_.reset();
    QDir::setCurrent(old_dir_);
}

Vimbo_form& Form_test::make_form() {
    form_.reset();  // a second window is a restart: the first one has gone
    form_ = std::make_unique<Vimbo_form>(
        Form_services{clock_, std::make_unique<Fake_port>(clock_, port_), &dialogs_, &editor_,
                      [this] { ++quit_calls_; },
                      [this] { return wall_start_.toMSecsSinceEpoch() + clock_.now_ms(); },
                      record_disk_, &port_list_});
    return *form_;
}

void Form_test::open_port(int n, int baud) {
    form_->Text_com_number->setText(QString::number(n));
    form_->Text_baud_rate->setText(QString::number(baud));
    form_->port_opening().Cmd_com_usb_Click();
    ASSERT_TRUE(form_->MSerial.PortOpen());
}

QByteArray Form_test::take_written() {
    QByteArray all;
    for (; writes_taken_ < port_.writes.size(); ++writes_taken_)
        all += port_.writes[writes_taken_].bytes;
    return all;
}

void Form_test::write_file(const QString& name, const QByteArray& content) const {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray Form_test::read_file(const QString& name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QStringList Form_test::log_lines() const {
    QStringList lines;
    for (int i = 0; i < form_->List_1->count(); ++i) lines << form_->List_1->item(i);
    return lines;
}
