#pragma once
#include <QSerialPort>

#include "serial/port_backend.h"

// The real device, through QSerialPort.
class Qt_port_backend : public Port_backend {
  public:
    Qt_port_backend();
    bool open(const QString& device, int baud) override;
    void close() override;
    bool is_open() const override { return port_.isOpen(); }
    bool write(const QByteArray& bytes) override;
    QByteArray read_all() override { return port_.readAll(); }
    bool present(const QString& device) const override;
    Open_error open_error() const override { return open_error_; }

  private:
    void error(QSerialPort::SerialPortError error);
    QSerialPort port_;
    Open_error open_error_;
};
