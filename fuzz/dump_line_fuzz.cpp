// The check of one dump line of the EEPROM read, and the record made of a line it passes.
//
// Input: any bytes. They are checked as a received line (8-bit, as the wire gives it) and
// as UTF-16; the first 16 bytes also become a dump line built the way the board builds one,
// which must pass, and whose record must carry the Intel HEX checksum.
#include <QByteArray>
#include <QStringView>
#include <algorithm>

#include "eeprom/dump_line.h"
#include "eeprom/eep_format.h"
#include "fuzz/fuzz_check.h"

namespace {

bool is_upper_hex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

// The line rule read plainly: "#" then 34 upper-case hexadecimal digits, nothing more.
// The first character out of place is reported; a missing one counts as a blank.
struct Expected {
    bool well_formed = true;
    QChar offending = QLatin1Char(' ');
};
Expected expected_check(QStringView line) {
    for (qsizetype i = 0; i < eep::kDumpLineLength; ++i) {
        if (i >= line.size()) return {false, QLatin1Char(' ')};
        const bool in_place = i == 0 ? line[i] == u'#' : is_upper_hex(line[i].unicode());
        if (!in_place) return {false, line[i]};
    }
    if (line.size() > eep::kDumpLineLength) return {false, line[eep::kDumpLineLength]};
    return {};
}

// The bytes a run of hexadecimal digits stands for, decoded by Qt rather than by the tool.
QByteArray bytes_of(QStringView digits) {
    return QByteArray::fromHex(digits.toLatin1());
}

int byte_sum(const QByteArray& bytes) {
    int sum = 0;
    for (char b : bytes) sum += uchar(b);
    return sum & 0xFF;
}

void check_record(int address, QStringView line) {
    const QString record = eep::data_record(address, line.mid(1, eep::kRecordDataChars));
    FUZZ_CHECK(record.size() == 43 && record.startsWith(QLatin1Char('#')));
    for (qsizetype i = 1; i < record.size(); ++i) FUZZ_CHECK(is_upper_hex(record[i].unicode()));
    const QByteArray bytes = bytes_of(QStringView(record).mid(1));
    FUZZ_CHECK(bytes.size() == 21);
    FUZZ_CHECK(uchar(bytes[0]) == 16);
    FUZZ_CHECK((uchar(bytes[1]) << 8 | uchar(bytes[2])) == address);
    FUZZ_CHECK(bytes[3] == 0);
    FUZZ_CHECK(bytes.mid(4, 16) == bytes_of(line.mid(1, 32)));
    FUZZ_CHECK(byte_sum(bytes) == 0);  // the Intel HEX rule
}

void check_received(QStringView line, int address) {
    const eep::Dump_line_check check = eep::check_dump_line(line);
    const Expected expected = expected_check(line);
    FUZZ_CHECK(check.well_formed == expected.well_formed);
    if (!check.well_formed) {
        FUZZ_CHECK(check.offending == expected.offending);
        FUZZ_CHECK(!check.sum_matches());
        return;
    }
    const QByteArray bytes = bytes_of(line.mid(1));
    FUZZ_CHECK(bytes.size() == 17);
    FUZZ_CHECK(check.data_sum == byte_sum(bytes.left(16)));
    FUZZ_CHECK(check.line_sum == uchar(bytes[16]));
    FUZZ_CHECK(check.sum_matches() == (check.data_sum == check.line_sum));
    check_record(address, line);
}

// A line as the board sends it for these 16 bytes: it passes and its sums agree.
void check_board_line(const QByteArray& block, int address) {
    const QString line =
        QLatin1Char('#') + QString::fromLatin1(block.toHex().toUpper()) +
        QString::fromLatin1(QByteArray(1, char(byte_sum(block))).toHex().toUpper());
    const eep::Dump_line_check check = eep::check_dump_line(line);
    FUZZ_CHECK(check.well_formed && check.sum_matches());
    FUZZ_CHECK(check.data_sum == byte_sum(block));
    check_record(address, line);
    // One digit changed: still well formed, and the sums agree only when the data sum is
    // the same as before.
    const qsizetype at = 1 + uchar(block[0]) % 34;
    QString changed = line;
    const char16_t old_digit = changed[at].unicode();
    changed[at] = QLatin1Char(old_digit == u'F'   ? '0'
                              : old_digit == u'9' ? 'A'
                                                  : char(old_digit + 1));
    const eep::Dump_line_check after = eep::check_dump_line(changed);
    FUZZ_CHECK(after.well_formed);
    FUZZ_CHECK(after.sum_matches() == (byte_sum(bytes_of(QStringView(changed).mid(1, 32))) ==
                                       byte_sum(bytes_of(QStringView(changed).mid(33, 2)))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Addresses the read uses: multiples of 16 below 4096.
    const int address = size > 0 ? (data[size - 1] % 256) * 16 : 0;
    check_received(fuzz_latin1(data, size), address);
    check_received(fuzz_utf16(data, size), address);
    QByteArray block(reinterpret_cast<const char*>(data), qsizetype(std::min<size_t>(size, 16)));
    block.append(QByteArray(16 - block.size(), '\0'));
    check_board_line(block, address);
    return 0;
}
