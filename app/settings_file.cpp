#include "app/settings_file.h"

#include <QSaveFile>

#include "app/port_opening.h"
#include "app/settings_lines.h"
#include "app/vimbo_form.h"

Settings_file::Settings_file(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_save_settings, &QPushButton::clicked, [this] { Cmd_save_settings_Click(); });
    f_.read_settings_at_start = [this] { f_.handle([this] { read_at_start(); }, "Form_Load"); };
}

void Settings_file::Cmd_save_settings_Click() {
    if (!write_settings_file()) {
        f_.dialogs().message_box(QStringLiteral("Fail to write Comm/USB number to file!"));
        f_.pump.check_ending();
        return;
    }
    f_.port_opening().Cmd_com_usb_Click();
}

bool Settings_file::write_settings_file() {
    QSaveFile file(kSettingsFileName);
    // Unbuffered, so that a short write (disk full) shows here: a buffered write that the
    // disk cuts short is not reported by commit() and would replace the old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    Form_state& s = f_.state;
    const Settings_to_save values = settings_from_boxes(
        f_.Text_com_number->text(), f_.Text_baud_rate->text(), f_.Text_module_Id->text());
    s.Com_number = values.Com_number;
    s.Baud_rate = values.Baud_rate;
    s.Module_id = values.Module_id;
    const QByteArray text = settings_file_text(values);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    // Renames the finished file over the old one; on failure the temporary one is removed.
    return file.commit();
}

void Settings_file::read_at_start() {
    Tracked_file file(f_.files, kSettingsFileName);
    if (!file.open(QIODevice::ReadOnly)) return;  // no settings yet: empty boxes
    const QByteArray content = file.read(kMaxBytesRead);
    const Settings_read read = settings_from_lines(split_settings_lines(content));
    Form_state& s = f_.state;
    if (read.lines_read >= 1) {
        s.Com_number = read.Com_number;
        if (read.port_named) {
            f_.Text_com_number->setText(s.Com_number);  // the range check may empty it again
            s.Port_from_settings = true;
        }
    }
    if (read.lines_read >= 2) {
        s.Baud_rate = read.Baud_rate;
        if (read.baud_named) f_.Text_baud_rate->setText(s.Baud_rate);
    }
    if (!read.complete()) return;  // a short file stops the start-up here
    s.Module_id = read.Module_id;
    f_.Text_module_Id->setText(s.Module_id);
    if (s.Port_from_settings) f_.port_opening().Cmd_com_usb_Click();
}
