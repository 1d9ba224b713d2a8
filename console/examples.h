#pragma once
#include <QString>
#include <Qt>

class Vimbo_form;

// The command examples of the current mode in the side list `List_cmd_list`, loaded from the
// engine's "<id>_cmd.txt": Show Cmds opens and closes the list (the window widens and
// narrows by the list's width), a click takes a row apart into command line and hint line,
// a double click or Enter sends it, a right click on Show Cmds opens the file in the editor.
class Examples {
  public:
    explicit Examples(Vimbo_form& form);

    void Cmd_show_cmd_list_Click();
    void Cmd_show_cmd_list_MouseDown(Qt::MouseButton button);
    void List_cmd_list_Click();
    void List_cmd_list_DblClick();
    void List_cmd_list_KeyPress(int key_code);

    bool list_shown() const;
    void open_list();
    void close_list();

    // The box shown when the examples file cannot be read.
    static QString not_found_text(const QString& file_name, const QString& folder);

  private:
    void not_found(const QString& file_name);
    Vimbo_form& f_;
};
