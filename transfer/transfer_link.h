#pragma once
#include <QString>

class Serial_control;
class Pump;
class Window_timer;
class Open_files;
class Dialogs;

// A one-shot timeout: a window timer and the flag its tick raises (the tick also switches
// the timer off, so it fires at most once per arming).
struct Timeout {
    Window_timer& timer;
    bool& expired;
};

// What a transfer procedure uses of the window's link to the board: the port, the pump it
// waits on, the two timeouts, the receive handler's mailbox ("#" lines only), the registry
// of open files and the modal dialogs.
struct Transfer_link {
    Serial_control& port;
    Pump& pump;
    Timeout timer1;
    Timeout timer2;
    QString& reply;
    Open_files& files;
    Dialogs& dialogs;
};
