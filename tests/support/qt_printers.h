#pragma once
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for Qt values.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << "hex:" << b.toHex(' ').toStdString();
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << "{";
    for (const QString& s : l) *os << " \"" << s.toStdString() << "\"";
    *os << " }";
}
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << "rgb(" << c.red() << "," << c.green() << "," << c.blue()
        << (c.isValid() ? ")" : " invalid)");
}
