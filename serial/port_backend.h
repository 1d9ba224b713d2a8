#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

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

    std::function<void()> on_ready_read;  // new bytes can be read
    std::function<void()> on_lost;        // the device went away under an open port
};
