#include "serial/qt_port_list.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

namespace {
QString hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// Real device -> its by-id link. udev keeps these names for as long as the converter is in.
QHash<QString, QString> stable_names() {
    QHash<QString, QString> names;
#ifdef Q_OS_LINUX
    const QDir by_id(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : by_id.entryInfoList(QDir::System | QDir::Files)) {
        const QString device = link.canonicalFilePath();
        if (!device.isEmpty()) names.insert(device, link.absoluteFilePath());
    }
#endif
    return names;
}
}  // namespace

std::vector<Port_info> Qt_port_list::ports() const {
    const QHash<QString, QString> stable = stable_names();
    std::vector<Port_info> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        Port_info port;
#ifdef Q_OS_WIN
        port.device = info.portName();
#else
        port.device = info.systemLocation();
#endif
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.usb_id =
                hex4(info.vendorIdentifier()) + QLatin1Char(':') + hex4(info.productIdentifier());
        }
        port.serial_number = info.serialNumber();
        port.stable_name = stable.value(port.device);
        ports.push_back(port);
    }
    return ports;
}
