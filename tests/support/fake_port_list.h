#pragma once
#include <vector>

#include "serial/port_list.h"

// The machine's serial ports as the test sets them; counts how often they were asked for.
class Fake_port_list : public Port_list {
  public:
    std::vector<Port_info> ports() const override {
        ++calls;
        return list;
    }
    std::vector<Port_info> list;
    mutable int calls = 0;
};
