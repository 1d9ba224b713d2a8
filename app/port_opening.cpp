#include "app/port_opening.h"

#include "app/control_table.h"
#include "app/key_codes.h"
#include "app/vimbo_form.h"
#include "serial/failures.h"
#include "serial/number_text.h"
#include "serial/port_messages.h"

namespace {
const QString kOpeningTitle = QStringLiteral(" SMS CONTROLLER.......");
const QString kBoxTitle = QStringLiteral("Click on [Com/usb] or press Enter when finish.");
}  // namespace

Port_opening::Port_opening(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_com_usb, &QPushButton::clicked, [this] { Cmd_com_usb_Click(); });
    f_.on(f_.Text_com_number, &Vb_text_box::clicked, [this] { Text_com_number_Click(); });
    f_.on(f_.Text_com_number, &QLineEdit::textChanged,
          [this](const QString&) { Text_com_number_Change(); });
    f_.on(f_.Text_com_number, &Vb_text_box::key_pressed,
          [this](int k) { Text_com_number_KeyPress(k); });
    f_.on(f_.Text_baud_rate, &Vb_text_box::clicked, [this] { Text_baud_rate_Click(); });
    f_.on(f_.Text_baud_rate, &Vb_text_box::double_clicked, [this] { Text_baud_rate_DblClick(); });
    f_.on(f_.Text_baud_rate, &Vb_text_box::key_pressed,
          [this](int k) { Text_baud_rate_KeyPress(k); });
    f_.on(f_.Text_module_Id, &Vb_text_box::clicked, [this] { Text_module_Id_Click(); });
    f_.on(f_.Text_module_Id, &Vb_text_box::key_pressed,
          [this](int k) { Text_module_Id_KeyPress(k); });
}

void Port_opening::Cmd_com_usb_Click() {
    try {
        open_steps();
    } catch (const Runtime_failure&) {
        failure_path();
    }
}

void Port_opening::open_steps() {
    Form_state& s = f_.state;
    f_.set_title(kOpeningTitle);
    if (f_.MSerial.PortOpen()) f_.MSerial.set_PortOpen(false);
    if (!s.Port_from_settings) {
        s.Com_number = number_text_form(f_.Text_com_number->text());
        s.Baud_rate = number_text_form(f_.Text_baud_rate->text());
    }
    f_.MSerial.set_Settings(s.Baud_rate + QStringLiteral(",N,8,1"));
    const double port = round_half_even(leading_number(s.Com_number));
    if (port < 1 || port > 16) throw Runtime_failure("invalid port number");
    f_.MSerial.set_CommPort(int(port));
    if (!f_.MSerial.PortOpen()) f_.MSerial.set_PortOpen(true);
    f_.log(QStringLiteral("COMM:") + s.Com_number + QStringLiteral(" ") + s.Baud_rate +
           QStringLiteral("b/s.N.8.1..."));
    if (!s.Port_from_settings) f_.set_title(QString());
    s.Port_from_settings = false;
    f_.Cmd_com_usb->set_back_color(colors::kNormalFace);
}

void Port_opening::failure_path() {
    Form_state& s = f_.state;
    if (s.Open_fail_count > 2) {
        f_.dialogs().message_box(help_text());
        f_.pump.check_ending();
        s.Open_fail_count = 0;
    }
    f_.log(QStringLiteral("Invalid COM port number!"));
    f_.log(refusal_line(gather_refusal(s.Com_number, s.Baud_rate, f_.MSerial)));
    s.Port_from_settings = false;
    s.Open_fail_count = quint8(s.Open_fail_count + 1);
    f_.Cmd_com_usb->set_back_color(colors::kOrangeRed);
}

QString Port_opening::help_text() {
    return open_help_text();
}

void Port_opening::Text_com_number_Click() {
    f_.set_hint(QStringLiteral("Write Com number 1 to 16 and press Enter or [ Com/Usb ]."));
    f_.set_title(kBoxTitle);
}

void Port_opening::Text_com_number_Change() {
    if (com_number_out_of_range(f_.Text_com_number->text())) f_.Text_com_number->setText(QString());
}

void Port_opening::Text_com_number_KeyPress(int key_code) {
    if (key_code == kEnter) Cmd_com_usb_Click();
    f_.set_title(QStringLiteral("Save settings with [Save Set] for later use...."));
}

void Port_opening::Text_baud_rate_Click() {
    f_.set_hint(QStringLiteral("Write Baud Rate or DBClick. ( 2400 to 115200 ) "));
    f_.set_title(QStringLiteral("Click on [Com/usb] or Enter when finish."));
}

void Port_opening::Text_baud_rate_DblClick() {
    if (const auto next = next_baud_rate_text(f_.Text_baud_rate->text())) {
        f_.Text_baud_rate->setText(*next);
    }
}

void Port_opening::Text_baud_rate_KeyPress(int key_code) {
    if (key_code == kEnter) Cmd_com_usb_Click();
}

void Port_opening::Text_module_Id_Click() {
    f_.set_hint(QStringLiteral("Enter Type; M35, M10, W218, W228, RQM5, M95,,,"));
    f_.set_title(kBoxTitle);
}

void Port_opening::Text_module_Id_KeyPress(int key_code) {
    if (key_code == kEnter) Cmd_com_usb_Click();
}

void Port_opening::port_lost() {
    f_.log(QStringLiteral("COMM:") + QString::number(f_.MSerial.CommPort()) +
           QStringLiteral(" lost: the device has gone away."));
    f_.Cmd_com_usb->set_back_color(colors::kOrangeRed);
}

void Port_opening::port_back() {
    const Serial_control& port = f_.MSerial;
    f_.log(port_back_line(port.CommPort(), port.Settings().section(QLatin1Char(','), 0, 0),
                          port.Moved_on_return() ? port.Device() : QString(),
                          port.Identity().serial_number));
    f_.Cmd_com_usb->set_back_color(colors::kNormalFace);
}
