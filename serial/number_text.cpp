#include "serial/number_text.h"

#include <QLocale>
#include <array>
#include <cmath>
#include <limits>

namespace {

bool is_blank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

constexpr std::array kBaudCycle{2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

double leading_number(const QString& text) {
    QString digits;  // the number with its blanks removed
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip_blanks = [&] {
        while (i < n && is_blank(text[i])) ++i;
    };
    skip_blanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+')) digits += text[i++];
    bool any_digit = false;
    bool seen_point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (is_blank(c)) continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            any_digit = true;
        } else if (c == u'.' && !seen_point) {
            digits += c;
            seen_point = true;
        } else {
            break;
        }
    }
    if (!any_digit) return 0.0;
    // An exponent only counts when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text[j] == u'-' || text[j] == u'+')) exponent += text[j++];
        bool exponent_digit = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            exponent += text[j++];
            exponent_digit = true;
        }
        if (exponent_digit) digits += exponent;
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double round_half_even(double value) {
    return std::nearbyint(value);
}

QString number_to_text(double value) {
    if (value == 0.0) return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        return QString::number(static_cast<qint64>(value));
    }
    QString text = QString::number(value, 'g', 15);
    // Fifteen digits round the very largest values up beyond the range of a double, and
    // such a text would read back as 0: those get the fewest digits that read back exactly.
    bool ok = false;
    const double read_back = text.toDouble(&ok);
    if (!ok || !std::isfinite(read_back)) {
        text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    return text;
}

QString number_text_form(const QString& box_text) {
    return number_to_text(leading_number(box_text.trimmed()));
}

bool com_number_out_of_range(const QString& box_text) {
    const double n = round_half_even(leading_number(box_text.trimmed()));
    return n < 0 || n > 16;
}

std::optional<QString> next_baud_rate_text(const QString& box_text) {
    const double r = round_half_even(leading_number(box_text.trimmed()));
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    qint32 rate = static_cast<qint32>(r);
    for (std::size_t k = 0; k < kBaudCycle.size(); ++k) {
        if (kBaudCycle[k] == rate) {
            rate = kBaudCycle[(k + 1) % kBaudCycle.size()];
            break;
        }
    }
    return QStringLiteral(" ") + QString::number(rate);
}
