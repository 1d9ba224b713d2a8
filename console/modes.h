#pragma once
#include <Qt>

class Vimbo_form;

// The board's two console modes and its initialization. AT+ and CMD send the one-character
// mode command, record the mode in the command line's colour with a preset text, reopen the
// examples list for the new mode and put a reminder into the title. Initialize sends the
// three reset bytes.
class Modes {
  public:
    explicit Modes(Vimbo_form& form);

    void Cmd_start_AT_mode_Click();
    void Cmd_start_AT_mode_MouseDown(Qt::MouseButton button);
    void Cmd_start_SMS_mode_Click();
    void Cmd_initialize_vimbo_Click();

  private:
    void show_at_mode();
    void sms_mode_steps();
    void initialize_steps();
    Vimbo_form& f_;
};
