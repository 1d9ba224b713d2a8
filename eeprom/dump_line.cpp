#include "eeprom/dump_line.h"

#include "eeprom/eep_format.h"
#include "eeprom/hex_digits.h"

namespace eep {

Dump_line_check check_dump_line(QStringView line) {
    Dump_line_check check;
    if (line.isEmpty() || line[0] != QLatin1Char('#')) {
        check.offending = line.isEmpty() ? QLatin1Char(' ') : line[0];
        return check;
    }
    for (qsizetype i = 1; i < kDumpLineLength; ++i) {
        if (i >= line.size()) return check;  // missing: a blank
        if (hex_digit_value(line[i]) < 0) {
            check.offending = line[i];
            return check;
        }
    }
    if (line.size() > kDumpLineLength) {
        check.offending = line[kDumpLineLength];
        return check;
    }
    int sum = 0;
    for (qsizetype i = 1; i <= kRecordDataChars; i += 2)
        sum += hex_pair_value(line[i], line[i + 1]);
    check.well_formed = true;
    check.data_sum = sum & 0xFF;
    check.line_sum = hex_pair_value(line[kDumpLineLength - 2], line[kDumpLineLength - 1]);
    return check;
}

}  // namespace eep
