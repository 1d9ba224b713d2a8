#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

// Why an opening failed, in the terms a technician can act on.
struct Open_error {
    enum class Kind { none, no_device, permission, busy, other };
    Kind kind = Kind::none;
    QString text;  // the system's own words
};

// The raw serial device under the serial control: a real QSerialPort in the program, a
// scripted fake in the tests. Always 8 data bits, no parity, one stop bit.
class Port_backend {
  public:
    virtual ~Port_backend() = default;
    virtual bool open(const QString& device, int baud) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual QByteArray read_all() = 0;
    // Whether the device is there to be opened (plugged in), without opening it.
    virtual bool present(const QString& device) const = 0;
    // Why the last open() failed.
    virtual Open_error open_error() const { return {Open_error::Kind::other, {}}; }

    std::function<void()> on_ready_read;  // new bytes can be read
    std::function<void()> on_lost;        // the device went away under an open port
};
