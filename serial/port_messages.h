#pragma once
#include <QString>
#include <optional>

#include "serial/port_backend.h"
#include "serial/port_holders.h"

class Serial_control;

// What a refused opening was about, gathered right after it, so that the log can say what
// COM n stood for and what to do about it.
struct Refused_opening {
    enum class Step { rate, number, device };
    Step step = Step::device;
    QString com;            // the port number as text
    QString rate;           // the baud rate as text
    QString device;         // what COM n stood for
    QString link;           // comN, when COM n is a link in the working folder
    QString link_target;    // where that link points
    bool dangling = false;  // the link points at nothing
    Open_error error;
    QString group;  // the group that owns the device
    std::optional<Port_holder> holder;
};

// Looks at the port number, the rate and the device the serial control tried, in the order
// the opening uses them.
Refused_opening gather_refusal(const QString& com_number, const QString& baud_rate,
                               const Serial_control& serial);

// The log line that follows "Invalid COM port number!".
QString refusal_line(const Refused_opening& refused);

// The help box of repeated failures: the Windows steps there, the Linux steps here.
QString windows_help_text();
QString linux_help_text();
QString open_help_text();

// "COMM:n is back: ..." once a lost port is open again; moved_to names the new device of a
// converter that came back under another name.
QString port_back_line(int com, const QString& rate, const QString& moved_to,
                       const QString& serial_number);
