#include "serial/port_list.h"

#include <QFileInfo>
#include <algorithm>

namespace {
QString real_device(const QString& device) {
#ifdef Q_OS_WIN
    return device.toUpper();
#else
    const QString real = QFileInfo(device).canonicalFilePath();
    return real.isEmpty() ? device : real;
#endif
}
}  // namespace

const Port_info* find_port(const std::vector<Port_info>& ports, const QString& device) {
    const QString wanted = real_device(device);
    const auto it = std::find_if(ports.begin(), ports.end(), [&](const Port_info& p) {
        return p.device == device || real_device(p.device) == wanted;
    });
    return it == ports.end() ? nullptr : &*it;
}

const Port_info* find_same_converter(const std::vector<Port_info>& ports, const Port_info& known) {
    if (known.serial_number.isEmpty()) return nullptr;
    const auto it = std::find_if(ports.begin(), ports.end(), [&](const Port_info& p) {
        return p.serial_number == known.serial_number && p.usb_id == known.usb_id;
    });
    return it == ports.end() ? nullptr : &*it;
}
