#include "upload/hardware_id.h"

#include <QFileInfo>
#include <array>

namespace {
struct Known_id {
    const char* reply;
    int file_must_be;  // the value the file's id must have; 0: no check
};
constexpr std::array kKnownIds{
    Known_id{"#2400", 2400}, Known_id{"#2418", 0}, Known_id{"#2428", 0}, Known_id{"#6418", 0},
    Known_id{"#8800", 0},    Known_id{"#2818", 0}, Known_id{"#2928", 0}, Known_id{"#8002", 8002},
};
constexpr int kMaxDigits = 9;  // stays inside an int
}  // namespace

Hardware_id_verdict check_hardware_id(const QString& reply, const QString& file_id) {
    for (const Known_id& known : kKnownIds) {
        if (reply != QLatin1String(known.reply)) continue;
        if (known.file_must_be == 0) return Hardware_id_verdict::accepted;
        return leading_digits_value(file_id) == known.file_must_be
                   ? Hardware_id_verdict::matched
                   : Hardware_id_verdict::mismatched;
    }
    return Hardware_id_verdict::not_an_id;
}

QString file_id_of(const QString& file_name) {
    return QFileInfo(file_name).fileName().left(4);
}

int leading_digits_value(const QString& text) {
    int value = 0;
    for (qsizetype i = 0; i < text.size() && i < kMaxDigits; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}
