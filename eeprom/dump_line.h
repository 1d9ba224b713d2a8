#pragma once
#include <QChar>
#include <QStringView>

#include "serial/board_dialogue.h"

// The board's answer to one "#" request: "#", 32 upper-case hexadecimal digits (16 EEPROM
// bytes in address order) and 2 more holding the plain sum of those bytes modulo 256.
namespace eep {

inline constexpr int kDumpLineLength = board::kDumpLineLength;

struct Dump_line_check {
    bool well_formed = false;  // "#" and exactly 34 digits "0"-"9", "A"-"F"
    // The first character out of place: a character that is not such a digit (or not the
    // leading "#"), a blank where the line is too short, the first extra one when too long.
    QChar offending = QLatin1Char(' ');
    int data_sum = 0;  // the 16 data bytes added, modulo 256 (when well formed)
    int line_sum = 0;  // the sum the line itself carries (when well formed)
    bool sum_matches() const { return well_formed && data_sum == line_sum; }
};

// Checks a dump line as received (leading "#" included, no CR).
Dump_line_check check_dump_line(QStringView line);

}  // namespace eep
