#include "eeprom/memory_sink.h"

#include "eeprom/hex_digits.h"
#include "transfer/transfer_steps.h"

void Memory_sink::open() {
    bytes_.clear();
}

void Memory_sink::take(int address, QStringView data) {
    if (address != bytes_.size())
        stop_transfer(QStringLiteral("EEPROM read stopped: a line out of order."));
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        bytes_.append(char(eep::hex_pair_value(data[i], data[i + 1])));
    }
}

void Memory_sink::finish(const eep::Model& model) {
    if (bytes_.size() != model.bytes)
        stop_transfer(QStringLiteral("EEPROM read stopped: not every line arrived."));
}

void Memory_sink::abandon() {
    bytes_.clear();
}
