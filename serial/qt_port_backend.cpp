#include "serial/qt_port_backend.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace {
// QSerialPort names both a device the user may not open and one that another program holds
// (its lock file, or exclusive use) a permission error; the file's permissions tell which.
// On Windows a held port is refused as "access denied".
Open_error classify_open_error(const QString& device, QSerialPort::SerialPortError error,
                               const QString& text) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return {Open_error::Kind::no_device, text};
        case QSerialPort::OpenError:
            return {Open_error::Kind::busy, text};
        case QSerialPort::PermissionError: {
#ifdef Q_OS_WIN
            Q_UNUSED(device);
            return {Open_error::Kind::busy, text};
#else
            const QFileInfo file(device);
            const bool allowed = file.isReadable() && file.isWritable();
            return {allowed ? Open_error::Kind::busy : Open_error::Kind::permission, text};
#endif
        }
        default:
            return {Open_error::Kind::other, text};
    }
}
}  // namespace

Qt_port_backend::Qt_port_backend() {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        if (on_ready_read) on_ready_read();
    });
    QObject::connect(&port_, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError e) { error(e); });
}

bool Qt_port_backend::open(const QString& device, int baud) {
    open_error_ = {};
    port_.setPortName(device);
    if (!port_.setBaudRate(baud) || !port_.setDataBits(QSerialPort::Data8) ||
        !port_.setParity(QSerialPort::NoParity) || !port_.setStopBits(QSerialPort::OneStop) ||
        !port_.setFlowControl(QSerialPort::NoFlowControl) || !port_.open(QIODevice::ReadWrite)) {
        open_error_ = classify_open_error(device, port_.error(), port_.errorString());
        return false;
    }
    port_.clear(QSerialPort::Input);  // bytes from before the opening are stale
    return true;
}

void Qt_port_backend::close() {
    if (port_.isOpen()) port_.close();
}

bool Qt_port_backend::present(const QString& device) const {
#ifdef Q_OS_WIN
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return std::any_of(ports.begin(), ports.end(), [&](const QSerialPortInfo& info) {
        return info.portName().compare(device, Qt::CaseInsensitive) == 0;
    });
#else
    // Pseudo-terminals are not listed as serial ports, so ask the file system.
    return QFileInfo::exists(device);
#endif
}

bool Qt_port_backend::write(const QByteArray& bytes) {
    if (!port_.isOpen()) return false;
    if (port_.write(bytes) != bytes.size()) return false;
    // Hands the bytes to the driver now, as far as it takes them without blocking, instead
    // of on a later turn of the loop: one wake-up less for each line a transfer sends.
    port_.flush();
    return true;
}

// A vanished device (unplugged converter, closed pty) shows as read or resource errors,
// over and over while the port stays open. Close it at once and report the loss.
void Qt_port_backend::error(QSerialPort::SerialPortError e) {
    if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError) return;
    if (!port_.isOpen()) return;
    port_.close();
    if (on_lost) on_lost();
}
