#include "app/backup_viewer.h"

#include "app/backup_window.h"
#include "app/vimbo_form.h"

const char* const Backup_viewer::kNothingPicked =
    "No backup to show: pick one with UPD File? first, then right-click UPD File?.";

Backup_viewer::Backup_viewer(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_show_upd_file, &Vb_button::mouse_down,
          [this](Qt::MouseButton button) { Cmd_show_upd_file_MouseDown(button); });
}

Backup_viewer::~Backup_viewer() = default;

Backup_window& Backup_viewer::window() {
    if (!window_) window_ = std::make_unique<Backup_window>(f_);
    return *window_;
}

void Backup_viewer::Cmd_show_upd_file_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    const QString file =
        f_.state.Chosen_file.isEmpty() ? f_.state.Eeprom_file : f_.state.Chosen_file;
    if (file.isEmpty()) {
        f_.set_hint(QLatin1String(kNothingPicked));
        return;
    }
    Backup_window& w = window();
    w.show_backup(file);
    w.show();
    w.raise();
}
