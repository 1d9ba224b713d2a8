#pragma once
#include <QString>
#include <memory>

#include "serial/event_services.h"

class Vimbo_form;
class Port_chooser;
struct Port_row;

// A right click on "Com/usb" opens the port chooser; picking a port links it to a COM
// number in the working folder (on Windows: takes its number), puts the number into the
// box and opens it as a click on "Com/usb" does. The list follows plugging and unplugging
// once a second while it is shown.
class Port_choosing {
  public:
    explicit Port_choosing(Vimbo_form& form);
    ~Port_choosing();

    void Cmd_com_usb_MouseDown(Qt::MouseButton button);
    void show_chooser();
    void refresh();
    void pick();
    // Null until the first right click.
    Port_chooser* chooser() const { return chooser_; }

    static constexpr int kRefreshMs = 1000;

  private:
    void pick_row(const Port_row& row);
    void tell(const QString& text);
    Vimbo_form& f_;
    Port_chooser* chooser_ = nullptr;  // owned by the window
    std::unique_ptr<Window_timer> refresh_timer_;
};
