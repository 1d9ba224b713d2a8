#include "app/form_transfer_view.h"

#include "app/session_record.h"
#include "app/vimbo_form.h"

void Form_transfer_view::log(const QString& text) {
    f_.log(text);
}

void Form_transfer_view::select_last_log_line() {
    f_.List_1->set_selected_index(f_.List_1->count() - 1);
}

void Form_transfer_view::set_hint(const QString& text) {
    f_.set_hint(text);
}

void Form_transfer_view::set_title(const QString& text) {
    f_.set_title(text);
}

void Form_transfer_view::set_progress(double share) {
    f_.Label1->set_progress(share);
}

Vb_button* Form_transfer_view::button(Transfer_button which) const {
    switch (which) {
        case Transfer_button::read_eeprom:
            return f_.Cmd_read_eeprom;
        case Transfer_button::write_eeprom:
            return f_.Cmd_write_eeprom;
        case Transfer_button::update:
            break;
    }
    return f_.Cmd_update_vimbo;
}

QString Form_transfer_view::caption(Transfer_button which) const {
    return button(which)->caption();
}

void Form_transfer_view::set_caption(Transfer_button which, const QString& caption) {
    button(which)->setText(caption);
}

void Form_transfer_view::set_color(Transfer_button which, const QColor& color) {
    button(which)->set_back_color(color);
}

void Form_transfer_view::set_command_line_color(const QColor& color) {
    f_.Text_Cmd->set_back_color(color);
}

void Form_transfer_view::transfer_started(const QString& what, const QString& file) {
    f_.record().transfer_started(what, file);
}

void Form_transfer_view::transfer_ended() {
    f_.record().transfer_ended();
}

void Form_transfer_view::told(const QString& line) {
    f_.record().told(line);
}

Transfer_link form_transfer_link(Vimbo_form& form) {
    Form_state& s = form.state;
    return Transfer_link{form.MSerial,
                         form.pump,
                         {*form.Timer1, s.Timer1_expired},
                         {*form.Timer2, s.Timer2_expired},
                         s.Rx_reply,
                         form.files,
                         form.dialogs()};
}
