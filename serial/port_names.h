#pragma once
#include <QString>

// Where COM port n lives on this machine. On Linux a link "comN" in the current folder
// (to /dev/ttyUSB0, /dev/ttyACM0, a pty...) wins; otherwise COM n is /dev/ttyS<n-1>.
// On Windows it is COMn.
QString device_for_com_port(int n);
// Whether a link "comN" is in the current folder, even one whose device is gone.
bool com_port_link_present(int n);
