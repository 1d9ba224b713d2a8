#pragma once
#include <QList>
#include <QString>
#include <vector>

#include "serial/com_links.h"
#include "serial/port_list.h"

// One row of the port chooser: a port of this machine, or a comN entry whose device the
// system does not list (a pseudo-terminal, an unplugged converter).
struct Port_row {
    QList<int> com_numbers;  // the COM numbers that lead to it
    Port_info info;
    QString in_use;          // "in use here", "in use by minicom (pid 42)" or empty
    bool plugged_in = true;  // false: a comN link that points at nothing
    bool operator==(const Port_row&) const = default;

    // What a pick links comN to: the stable name when there is one.
    QString link_target() const {
        return info.stable_name.isEmpty() ? info.device : info.stable_name;
    }
};

// The chooser's rows: the listed ports in the system's order, then the comN entries that
// lead to none of them. open_device is the device this window has open.
std::vector<Port_row> port_rows(const std::vector<Port_info>& ports,
                                const std::vector<Com_link>& links, const QString& open_device);
