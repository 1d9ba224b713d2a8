#include "upload/upload_commands.h"

#include <QDir>

#include "app/form_transfer_view.h"
#include "app/vimbo_form.h"
#include "base/colors.h"
#include "transfer/transfer_buttons.h"
#include "upload/write_check.h"

using namespace transfer_buttons;

Upload_commands::Upload_commands(Vimbo_form& form)
    : f_(form),
      view_(form.transfer_view()),
      procedure_(
          form_transfer_link(form), view_,
          Upload_names{form.state.Chosen_file, form.state.Eeprom_file, form.state.Abort_request}) {
    f_.on(f_.Cmd_show_upd_file, &QPushButton::clicked, [this] { Cmd_show_upd_file_Click(); });
    f_.on(f_.File_list_1, &File_list::double_clicked, [this] { File_list_1_DblClick(); });
    f_.on(f_.File_list_1, &File_list::mouse_down,
          [this](Qt::MouseButton button) { File_list_1_MouseDown(button); });
    f_.on(f_.Cmd_update_vimbo, &QPushButton::clicked, [this] { Cmd_update_vimbo_Click(); });
    f_.on(f_.Cmd_write_eeprom, &QPushButton::clicked, [this] { Cmd_write_eeprom_Click(); });
}

// The list shows the folder's files as they are now.
void Upload_commands::Cmd_show_upd_file_Click() {
    f_.File_list_1->show();
    f_.File_list_1->refresh();
    f_.Cmd_show_upd_file->setText(QStringLiteral("Upd file ?"));
    f_.set_hint(QStringLiteral(" Double Click on the Update.file ( eg: 24xx.Upd )"));
    f_.set_title(QStringLiteral(" Double Click on the Update.file to load"));
}

// A failure while picking still hides the list; what was done stays done.
void Upload_commands::File_list_1_DblClick() {
    try {
        pick();
    } catch (const std::exception&) {
        f_.File_list_1->hide();
    }
}

void Upload_commands::pick() {
    Form_state& s = f_.state;
    const QString name = f_.File_list_1->picked_name();
    s.Chosen_file = f_.File_list_1->path() + QDir::separator() + name;
    s.File_id = name.left(4);
    f_.set_title(s.Chosen_file);
    f_.Cmd_show_upd_file->setText(name);
    f_.File_list_1->hide();
}

// A right click clears the pick; File_id keeps the last pick's four characters.
void Upload_commands::File_list_1_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    f_.state.Chosen_file.clear();
    f_.Cmd_show_upd_file->setText(QStringLiteral("Upd File ?"));
    f_.set_title(QString());
    f_.set_hint(QString());
    f_.File_list_1->hide();
}

// Starts an update, or, on the busy button (a click arriving while the update waits), asks
// it to stop.
void Upload_commands::Cmd_update_vimbo_Click() {
    if (another_is_busy(view_, Transfer_button::update)) return;
    if (shows_idle(view_, Transfer_button::update)) {
        f_.state.Rx_reply.clear();
        procedure_.Update_vimbo();
    }
    if (is_busy(view_, Transfer_button::update)) f_.state.Abort_request = true;
}

// Starts an EEPROM write, or, on the busy button, asks it to stop exactly as the busy UPDATE
// button does; the button keeps "BUSY!" until the transfer's clean-up, so the lock holds.
// The mailbox is not emptied: a sign-on already received lets the write go on at once.
void Upload_commands::Cmd_write_eeprom_Click() {
    if (another_is_busy(view_, Transfer_button::write_eeprom)) return;
    if (!is_busy(view_, Transfer_button::write_eeprom)) {
        // The backup is checked whole before anything goes on the wire.
        if (!check_before_write(f_, procedure_.checked())) return;
        make_busy(view_, Transfer_button::write_eeprom, colors::kMagenta);
        procedure_.Update_vimbo();
    }
    if (is_busy(view_, Transfer_button::write_eeprom)) f_.state.Abort_request = true;
}
