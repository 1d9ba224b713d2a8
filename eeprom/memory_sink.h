#pragma once
#include <QByteArray>

#include "eeprom/dump_sink.h"

// The board's EEPROM kept in memory, for a compare: each checked line's 16 bytes in address
// order, and nothing written anywhere.
class Memory_sink : public Dump_sink {
  public:
    void open() override;
    void take(int address, QStringView data) override;
    void finish(const eep::Model& model) override;
    void abandon() override;

    const QByteArray& bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
};
