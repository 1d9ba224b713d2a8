#pragma once
#include <Qt>
#include <memory>

class Vimbo_form;
class Backup_window;

// Opens the backup window: a right click on "UPD File?" shows the picked file (or, with
// none picked, the backup Write EEP would send). The left click keeps its own work.
class Backup_viewer {
  public:
    explicit Backup_viewer(Vimbo_form& form);
    ~Backup_viewer();
    Backup_viewer(const Backup_viewer&) = delete;
    Backup_viewer& operator=(const Backup_viewer&) = delete;

    void Cmd_show_upd_file_MouseDown(Qt::MouseButton button);
    // The one window, made when it is first needed.
    Backup_window& window();
    bool has_window() const { return window_ != nullptr; }

    static const char* const kNothingPicked;

  private:
    Vimbo_form& f_;
    std::unique_ptr<Backup_window> window_;
};
