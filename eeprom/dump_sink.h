#pragma once
#include <QStringView>

#include "eeprom/eep_format.h"

// Where the checked lines of an EEPROM dump go: the .eep file of a backup, or memory for a
// compare. A sink that cannot go on stops the dump with stop_transfer(why).
class Dump_sink {
  public:
    virtual ~Dump_sink() = default;
    // Before the dump start byte is sent.
    virtual void open() = 0;
    // One checked dump line: the address of its first byte and its 32 hexadecimal data
    // characters, exactly as received.
    virtual void take(int address, QStringView data) = 0;
    // After the model's last line.
    virtual void finish(const eep::Model& model) = 0;
    // Every other way out (a cancel, a stop, the program's exit): let go of what is held.
    // Safe to call more than once and after finish().
    virtual void abandon() = 0;
};
