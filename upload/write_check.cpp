#include "upload/write_check.h"

#include "app/vimbo_form.h"
#include "eeprom/backup_file.h"
#include "upload/checked_image.h"

namespace {
bool is_update_file(const QString& name) {
    return name.endsWith(QStringLiteral(".upd"), Qt::CaseInsensitive);
}

void refuse(Vimbo_form& f, const QString& fault) {
    f.log(write_refusal(fault));
    f.set_title(write_refusal(fault));
    f.dialogs().message_box(write_refusal_box(fault));
    f.pump.check_ending();
}
}  // namespace

QString write_refusal(const QString& fault) {
    return QStringLiteral("EEPROM write refused: ") + fault;
}

QString write_refusal_box(const QString& fault) {
    return write_refusal(fault) +
           QStringLiteral(
               "\r\n\r\nNothing was sent to the board. Mend or choose the backup, "
               "then press Write EEP again.");
}

QString no_backup_named() {
    return QStringLiteral("no backup named (give one to Read EEP or pick one with UPD File?)");
}

bool check_before_write(Vimbo_form& f, Checked_image& checked) {
    checked.clear();
    const QString name = backup_to_write(f.state.Eeprom_file, f.state.Chosen_file);
    if (is_update_file(name)) return true;
    if (name.isEmpty()) {
        refuse(f, no_backup_named());
        return false;
    }
    const Backup_file backup = load_backup(name);
    if (!backup.sound()) {
        refuse(f, backup.fault());
        return false;
    }
    checked.arm(name, backup.content);
    return true;
}
