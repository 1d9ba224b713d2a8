#pragma once
#include <QString>
#include <vector>

// One serial port of this machine as the system describes it.
struct Port_info {
    QString device;         // the name to open: /dev/ttyUSB0, COM3
    QString description;    // "FT232R USB UART"
    QString manufacturer;   // "FTDI"
    QString usb_id;         // vendor:product in hex, "0403:6001"; empty when not USB
    QString serial_number;  // the converter's USB serial number; empty when it has none
    QString stable_name;    // /dev/serial/by-id/...: the same for the same converter
    bool operator==(const Port_info&) const = default;
};

// The serial ports that exist now: the system's list in the program, a fixed list in tests.
class Port_list {
  public:
    virtual ~Port_list() = default;
    virtual std::vector<Port_info> ports() const = 0;
};

// The entry for device (compared as the real device behind any link), or nullptr.
const Port_info* find_port(const std::vector<Port_info>& ports, const QString& device);
// The converter with the same USB id and serial number as known, or nullptr. Without a
// serial number nothing tells two identical converters apart, so nothing matches.
const Port_info* find_same_converter(const std::vector<Port_info>& ports, const Port_info& known);
