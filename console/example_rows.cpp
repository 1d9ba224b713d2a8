#include "console/example_rows.h"

#include "base/colors.h"

QString examples_file_name(const QString& module_id) {
    return trim_blanks(module_id) + QStringLiteral("_cmd.txt");
}

std::optional<QChar> mode_digit_for(const QColor& command_line_color) {
    if (command_line_color == colors::kBlue) return QLatin1Char('2');
    if (command_line_color == colors::kRed) return QLatin1Char('1');
    return std::nullopt;
}

QStringList file_lines(const QByteArray& content) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = content.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n') continue;
        lines << QString::fromLatin1(content.constData() + start, i - start);
        if (c == '\r' && i + 1 < size && content.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < size) lines << QString::fromLatin1(content.constData() + start, size - start);
    return lines;
}

std::optional<QString> list_row(const QString& line, QChar mode_digit) {
    const QString trimmed = trim_blanks(line);
    if (trimmed.isEmpty() || trimmed.at(0) != mode_digit) return std::nullopt;
    // The digit and the one separator after it, whatever that character is.
    return trim_blanks(trimmed.mid(2));
}

QStringList list_rows(const QByteArray& content, QChar mode_digit) {
    QStringList rows;
    for (const QString& line : file_lines(content)) {
        if (auto row = list_row(line, mode_digit)) rows << *row;
    }
    return rows;
}

bool is_heading_row(const QString& trimmed_row) {
    return trimmed_row.startsWith(QLatin1Char('*')) || trimmed_row.startsWith(QLatin1Char('!'));
}

Row_parts split_list_row(const QString& row) {
    const QString trimmed = trim_blanks(row);
    if (trimmed.isEmpty()) return {};
    if (is_heading_row(trimmed)) return {Row_parts::Kind::heading, trimmed, {}};
    const qsizetype at = trimmed.indexOf(QLatin1String("   "), kRowSplitFrom - 1);
    if (at < 0 || at + 1 > kRowSplitLimit) return {};
    return {Row_parts::Kind::example, trim_blanks(trimmed.left(at)),
            trim_blanks(trimmed.mid(at + 1))};
}
