#pragma once
#include <QMenu>
#include <memory>

class Vimbo_form;
class QAction;

// The separator button's right click: a small menu to open today's session record in the
// text editor, open the record's folder, and switch the record on or off (remembered for
// the user). The left click keeps adding the separator.
class Record_menu {
  public:
    explicit Record_menu(Vimbo_form& form);
    ~Record_menu();
    Record_menu(const Record_menu&) = delete;
    Record_menu& operator=(const Record_menu&) = delete;

    void Cmd_reserve_1_MouseDown(Qt::MouseButton button);
    QMenu& menu() { return *menu_; }
    QAction* open_today() const { return open_today_; }
    QAction* open_folder() const { return open_folder_; }
    QAction* record_on() const { return record_on_; }

    static const QString kTooltipTail;

  private:
    void update_items();
    void switch_record(bool on);

    Vimbo_form& f_;
    std::unique_ptr<QMenu> menu_;
    QAction* open_today_ = nullptr;
    QAction* open_folder_ = nullptr;
    QAction* record_on_ = nullptr;
};
