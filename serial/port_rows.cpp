#include "serial/port_rows.h"

#include <QFileInfo>
#include <algorithm>

#include "serial/port_holders.h"

namespace {
QString in_use(const QString& device, const QString& open_device, const Lock_files& locks) {
    if (!open_device.isEmpty() && device == open_device) return QStringLiteral("in use here");
    if (const auto holder = locks.holder(device)) {
        return QStringLiteral("in use by %1 (pid %2)").arg(holder->program).arg(holder->pid);
    }
    return {};
}
}  // namespace

std::vector<Port_row> port_rows(const std::vector<Port_info>& ports,
                                const std::vector<Com_link>& links, const QString& open_device) {
    std::vector<Port_row> rows;
    rows.reserve(ports.size() + links.size());
    std::vector<bool> link_used(links.size(), false);
    const Lock_files locks;
    for (const Port_info& port : ports) {
        Port_row row;
        row.info = port;
#ifdef Q_OS_WIN
        if (const int n = windows_com_number(port.device)) row.com_numbers << n;
#else
        const QString real = QFileInfo(port.device).canonicalFilePath();
        const QString device = real.isEmpty() ? port.device : real;
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (links[i].dangling || links[i].device != device) continue;
            row.com_numbers << links[i].n;
            link_used[i] = true;
        }
#endif
        row.in_use = in_use(port.device, open_device, locks);
        rows.push_back(row);
    }
    // Several comN may lead to the same unlisted device: one row for it.
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (link_used[i]) continue;
        const Com_link& link = links[i];
        auto same = std::find_if(rows.begin() + qsizetype(ports.size()), rows.end(),
                                 [&](const Port_row& r) { return r.info.device == link.device; });
        if (same != rows.end()) {
            same->com_numbers << link.n;
            continue;
        }
        Port_row row;
        row.com_numbers << link.n;
        row.info.device = link.device;
        row.plugged_in = !link.dangling;
        if (link.dangling) {
            row.info.description = QStringLiteral("not plugged in");
        } else if (!link.is_link) {
            row.info.description = QStringLiteral("a file in the working folder");
        }
        row.in_use = link.dangling ? QString() : in_use(link.device, open_device, locks);
        rows.push_back(row);
    }
    return rows;
}
