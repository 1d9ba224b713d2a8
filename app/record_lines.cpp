#include "app/record_lines.h"

#include <QTime>

namespace record {
namespace {
// Fixed-width decimal digits, written by hand: a line is formatted for every event of a
// stream, and the general date formatter costs more than the rest of the line.
void put_digits(QByteArray& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits, width);
}

void put_time_of_day(QByteArray& out, const QTime& t) {
    put_digits(out, t.hour(), 2);
    out += ':';
    put_digits(out, t.minute(), 2);
    out += ':';
    put_digits(out, t.second(), 2);
    out += '.';
    put_digits(out, t.msec(), 3);
}

void put_date(QByteArray& out, const QDate& d, char separator) {
    put_digits(out, d.year(), 4);
    if (separator) out += separator;
    put_digits(out, d.month(), 2);
    if (separator) out += separator;
    put_digits(out, d.day(), 2);
}
}  // namespace

QByteArray line(const QDateTime& when, char mark, const QString& text) {
    QByteArray out;
    out.reserve(28 + text.size());
    put_date(out, when.date(), '-');
    out += ' ';
    put_time_of_day(out, when.time());
    out += ' ';
    out += mark;
    out += ' ';
    for (QChar c : text) out += c.unicode() < 256 ? char(c.unicode()) : '?';
    out += "\r\n";
    return out;
}

QString escaped(const QString& sent) {
    QString out;
    out.reserve(sent.size());
    for (QChar c : sent) {
        // A character beyond 8 bits went out as "?".
        const char16_t code = c.unicode() < 256 ? c.unicode() : u'?';
        if (code >= 0x20 && code <= 0x7E) {
            out += QChar(code);
        } else {
            out += QStringLiteral("<%1>").arg(int(code), 2, 16, QLatin1Char('0')).toUpper();
        }
    }
    return out;
}

QString file_name(const QDate& day) {
    QByteArray date;
    put_date(date, day, '-');
    return QStringLiteral("vimbo-") + QString::fromLatin1(date) + QStringLiteral(".log");
}

QString saved_log_name(const QDateTime& when) {
    QByteArray stamp;
    put_date(stamp, when.date(), 0);
    stamp += '-';
    const QTime t = when.time();
    put_digits(stamp, t.hour() * 10000 + t.minute() * 100 + t.second(), 6);
    return QStringLiteral("vimbo-log-") + QString::fromLatin1(stamp) + QStringLiteral(".txt");
}

QString arrival_time(const QDateTime& when) {
    QByteArray text;
    put_time_of_day(text, when.time());
    return QString::fromLatin1(text);
}

}  // namespace record
