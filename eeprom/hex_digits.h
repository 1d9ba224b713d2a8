#pragma once
#include <QChar>
#include <QString>

// Upper-case hexadecimal as the board and the .eep file write it.
namespace eep {

// 0..15 for "0"-"9" and "A"-"F"; -1 for anything else (lower case included).
constexpr int hex_digit_value(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// The byte two digits stand for; only for characters that passed hex_digit_value.
constexpr int hex_pair_value(QChar high, QChar low) {
    return hex_digit_value(high) * 16 + hex_digit_value(low);
}

// value in upper-case hexadecimal, zero-padded to width digits.
inline QString hex_text(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

}  // namespace eep
