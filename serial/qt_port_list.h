#pragma once
#include "serial/port_list.h"

// The system's serial ports through QSerialPortInfo, with the stable /dev/serial/by-id
// name of each converter on Linux.
class Qt_port_list : public Port_list {
  public:
    std::vector<Port_info> ports() const override;
};
