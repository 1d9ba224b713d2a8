#include "tests/eeprom_board_script.h"

#include <numeric>

namespace {
QByteArray hex(unsigned value, int digits) {
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}
unsigned byte_sum(const QByteArray& bytes, unsigned start) {
    return std::accumulate(bytes.begin(), bytes.end(), start, [](unsigned sum, char c) {
        return sum + static_cast<unsigned char>(c);
    });
}
}  // namespace

void Eeprom_board_script::receive(const QByteArray& bytes, const Deliver& deliver,
                                  const Later& later) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0xB3) {
            dumping = true;
            requests = 0;
        } else if (byte == 0x18) {
            dumping = false;
            ++cancels;
        } else if (byte == '#' && dumping) {
            const int k = ++requests;
            if (k > lines() || silent.count(k)) continue;
            const int ms = delay_ms.count(k) ? delay_ms.at(k) : reply_ms;
            const QByteArray line = replace.count(k) ? replace.at(k) : dump_line(k);
            const QByteArray stray = before_line.count(k) ? before_line.at(k) : QByteArray();
            deliver(ms, stray + line + "\r\n");
            if (k == unplug_after && unplug) later(ms + 1, unplug);
        }
    }
}

QByteArray Eeprom_board_script::make_image(int size, unsigned seed) {
    QByteArray bytes(size, '\0');
    unsigned x = seed;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char((x >> 16) & 0xFF);
    }
    // Some erased and some zero lines, as in a real parameter block.
    for (int i = 0; i < 16 && i + 32 < size; ++i) {
        bytes[i] = char(0xFF);
        bytes[i + 16] = 0;
    }
    return bytes;
}

QByteArray Eeprom_board_script::dump_line(int k) const {
    const QByteArray data = image.mid((k - 1) * 16, 16);
    const unsigned sum = byte_sum(data, 0);
    return "#" + data.toHex().toUpper() + hex(sum & 0xFF, 2);
}

QByteArray Eeprom_board_script::record(int k) const {
    const unsigned address = unsigned(k - 1) * 16;
    const QByteArray data = image.mid(int(address), 16);
    const unsigned sum = byte_sum(data, 16 + (address >> 8) + (address & 0xFF));
    return "#10" + hex(address, 4) + "00" + data.toHex().toUpper() +
           hex((0x100 - (sum & 0xFF)) & 0xFF, 2);
}

QByteArray Eeprom_board_script::records(int n) const {
    QByteArray all;
    for (int k = 1; k <= n; ++k) all += record(k) + "\r\n";
    return all;
}
