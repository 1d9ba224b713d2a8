#include "app/settings_lines.h"

#include "serial/number_text.h"

namespace {

QByteArray latin1_line(const QString& value, const QString& comment) {
    QByteArray line;
    const QString text = value + comment;
    line.reserve(text.size() + 2);
    for (QChar c : text) line.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    line.append("\r\n");
    return line;
}

}  // namespace

Settings_to_save settings_from_boxes(const QString& com_box, const QString& baud_box,
                                     const QString& module_box) {
    return {trim_blanks(com_box), trim_blanks(baud_box), module_box};
}

QByteArray settings_file_text(const Settings_to_save& values) {
    return latin1_line(values.Com_number, kComNumberComment) +
           latin1_line(values.Baud_rate, kBaudRateComment) +
           latin1_line(values.Module_id, kModuleIdComment);
}

QStringList split_settings_lines(const QByteArray& content, int max_lines) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n && lines.size() < max_lines; ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n') continue;
        lines << QString::fromLatin1(content.constData() + start, i - start);
        if (c == '\r' && i + 1 < n && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n && lines.size() < max_lines) {
        lines << QString::fromLatin1(content.constData() + start, n - start);
    }
    return lines;
}

Settings_read settings_from_lines(const QStringList& lines) {
    Settings_read read;
    if (lines.size() < 1) return read;
    const double port = leading_number(lines[0].trimmed());
    read.Com_number = number_to_text(port);
    read.port_named = port > 0;
    read.lines_read = 1;
    if (lines.size() < 2) return read;
    const double baud = leading_number(lines[1].trimmed());
    read.Baud_rate = number_to_text(baud);
    read.baud_named = baud > 0;
    read.lines_read = 2;
    if (lines.size() < 3) return read;
    read.Module_id = trim_blanks(lines[2].left(4));
    read.lines_read = 3;
    return read;
}
