#pragma once
#include <QString>
#include <Qt>

class Vimbo_form;

// The "ic" engines: the first two characters of the engine box are exactly "ic" (lower case).
// They take the copy box as a whole on Send and have the undecoded-answers command.
bool is_ic_case(const QString& module_box_text);

// Command entry and sending: the Send button (left click and Enter send the command line with
// CR, right click without a line end, "^Z" as the single byte 0x1A) and the copy box over the
// log that collects the board's console output.
class Sending {
  public:
    explicit Sending(Vimbo_form& form);

    void Cmd_send_cmd_Click();  // also Enter in the command line
    void Cmd_send_cmd_MouseDown(Qt::MouseButton button);
    void Text_Cmd_KeyPress(int key_code);
    void Text_Cmd_MouseDown(Qt::MouseButton button);
    void Text_to_copy_DblClick();

    // Writes the command line followed by CR, as the examples list does.
    void send_command_line();

  private:
    bool send_ctrl_z_marker();
    Vimbo_form& f_;
};
