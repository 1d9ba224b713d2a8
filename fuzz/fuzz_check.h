#pragma once
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A property of the code under test. When it does not hold, the run stops with a message
// and abort(), which libFuzzer records as a finding with the input that caused it.
[[noreturn]] inline void fuzz_property_failed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : fuzz_property_failed(#condition, __FILE__, __LINE__))

// Shows a text with its control characters and 8-bit characters escaped, for the message
// printed before a failed check.
inline QByteArray fuzz_printable(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != '\\') {
            out.append(char(u));
        } else {
            out.append(QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0')).toLatin1());
        }
    }
    return out;
}

// The input as 8-bit text, one character per byte, as the tool reads the wire and files.
inline QString fuzz_latin1(const uint8_t* data, size_t size) {
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input as UTF-16 (pairs of bytes, low byte first), for texts typed into the window.
inline QString fuzz_utf16(const uint8_t* data, size_t size) {
    QString text;
    text.reserve(qsizetype(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    return text;
}
