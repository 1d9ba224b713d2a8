#pragma once
#include <QString>

class Vimbo_form;

// Choosing and opening the port: the three setting boxes, the "Com/usb" button and the
// help text for repeated failures.
class Port_opening {
  public:
    explicit Port_opening(Vimbo_form& form);

    void Cmd_com_usb_Click();
    void Text_com_number_Click();
    void Text_com_number_Change();
    void Text_com_number_KeyPress(int key_code);
    void Text_baud_rate_Click();
    void Text_baud_rate_DblClick();
    void Text_baud_rate_KeyPress(int key_code);
    void Text_module_Id_Click();
    void Text_module_Id_KeyPress(int key_code);
    // The device vanished under the open port (unplugged converter).
    void port_lost();
    // The lost device is back and open again with the same settings.
    void port_back();

    static QString help_text();

  private:
    void open_steps();
    void failure_path();
    Vimbo_form& f_;
};
