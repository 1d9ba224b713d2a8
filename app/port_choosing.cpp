#include "app/port_choosing.h"

#include <QDir>

#include "app/port_chooser.h"
#include "app/port_opening.h"
#include "app/vimbo_form.h"
#include "serial/com_links.h"
#include "serial/port_rows.h"

Port_choosing::Port_choosing(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_com_usb, &Vb_button::mouse_down,
          [this](Qt::MouseButton b) { Cmd_com_usb_MouseDown(b); });
    refresh_timer_ = f_.pump.events().make_timer(
        [this] { f_.handle([this] { refresh(); }, "Port_chooser.refresh"); });
    refresh_timer_->set_interval(kRefreshMs);
}

// The chooser goes first, so that its closing reaches no handler of a window being taken down.
Port_choosing::~Port_choosing() {
    if (!chooser_) return;
    QObject::disconnect(chooser_, nullptr, nullptr, nullptr);
    delete chooser_;
}

void Port_choosing::Cmd_com_usb_MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) show_chooser();
}

void Port_choosing::show_chooser() {
    if (!chooser_) {
        chooser_ = new Port_chooser(&f_);
        f_.on(chooser_, &Port_chooser::pick_requested, [this] { pick(); });
        f_.on(chooser_, &Port_chooser::hidden, [this] { refresh_timer_->set_enabled(false); });
    }
    chooser_->show_message(QString());
    chooser_->set_com_number(
        default_com_number(f_.Text_com_number->text(), com_links(QDir::current())));
    refresh();
    if (chooser_->isVisible()) chooser_->raise();  // already open behind the window
    chooser_->show();
    refresh_timer_->set_enabled(true);
}

void Port_choosing::refresh() {
    if (!chooser_) return;
    const QString open = f_.MSerial.PortOpen() ? f_.MSerial.Device() : QString();
    chooser_->show_rows(port_rows(f_.port_list().ports(), com_links(QDir::current()), open));
}

void Port_choosing::pick() {
    if (!chooser_) return;
    const int row = chooser_->selected_row();
    if (row < 0) {
        tell(QStringLiteral("Pick a port in the list first."));
        return;
    }
    // A copy: the pick may refresh the list under it. Whether the device is still there is
    // looked at when the link is made.
    const Port_row picked = chooser_->rows()[std::size_t(row)];
    pick_row(picked);
}

void Port_choosing::pick_row(const Port_row& row) {
#ifdef Q_OS_WIN
    const int n = row.com_numbers.isEmpty() ? 0 : row.com_numbers.first();
    if (n < 1 || n > 16) {
        tell(row.info.device + QStringLiteral(" is not COM 1 to 16: give the converter a number "
                                              "1 to 16 in the Device Manager."));
        return;
    }
#else
    const int n = chooser_->com_number();
    if (!row.plugged_in) {
        tell(row.info.device + QStringLiteral(" is not plugged in: nothing changed."));
        return;
    }
    const QString target = row.link_target();
    const QString refused = make_com_link(QDir::current(), n, target);
    if (!refused.isEmpty()) {
        tell(refused);
        return;
    }
    f_.log(QStringLiteral("COM %1 = com%1 -> %2").arg(n).arg(target));
#endif
    f_.Text_com_number->setText(QString::number(n));
    f_.port_opening().Cmd_com_usb_Click();
    if (f_.MSerial.PortOpen()) {
        chooser_->hide();
    } else {
        refresh();
        chooser_->show_message(f_.List_1->item(f_.List_1->count() - 1));
    }
}

// Bad input is told in the log, where the window's messages go, and under the list.
void Port_choosing::tell(const QString& text) {
    f_.log(text);
    chooser_->show_message(text);
}
