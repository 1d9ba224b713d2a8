// The row rules of a command examples file, on any file content.
//
// Input: the content of an examples file. Its rows are taken in both modes and each row is
// taken apart as a click would; the first two lines of the content also serve as a command
// and a description that, written as a file line, must come back from the rules unchanged.
#include <QColor>

#include "app/control_table.h"
#include "console/example_rows.h"
#include "fuzz/fuzz_check.h"

namespace {

const QString kThreeBlanks = QStringLiteral("   ");

bool is_trimmed(const QString& text) {
    return !text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' '));
}

// Content with every line end (CR LF, a lone CR, a lone LF) as one LF.
QString with_lf_ends(const QByteArray& content) {
    QString text = QString::fromLatin1(content);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void check_lines(const QByteArray& content, const QStringList& lines) {
    qsizetype chars = 0;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        chars += line.size();
    }
    // Nothing is lost or changed but the line ends: the lines joined again give the file.
    const QString text = with_lf_ends(content);
    const bool ends_with_break = text.endsWith(QLatin1Char('\n'));
    FUZZ_CHECK(lines.join(QLatin1Char('\n')) + (ends_with_break ? "\n" : "") == text);
    FUZZ_CHECK(lines.size() ==
               text.count(QLatin1Char('\n')) + (ends_with_break || text.isEmpty() ? 0 : 1));
    FUZZ_CHECK(chars == text.size() - text.count(QLatin1Char('\n')));
}

void check_split(const QString& row) {
    const QString trimmed = trim_blanks(row);
    const Row_parts parts = split_list_row(row);
    switch (parts.kind) {
        case Row_parts::Kind::nothing:
            FUZZ_CHECK(parts.text.isEmpty() && parts.description.isEmpty());
            if (trimmed.isEmpty()) return;
            FUZZ_CHECK(!is_heading_row(trimmed));
            // No three blanks from character 12 on, or only beyond character 255.
            FUZZ_CHECK(trimmed.indexOf(kThreeBlanks, kRowSplitFrom - 1) < 0 ||
                       trimmed.indexOf(kThreeBlanks, kRowSplitFrom - 1) + 1 > kRowSplitLimit);
            return;
        case Row_parts::Kind::heading:
            FUZZ_CHECK(parts.text == trimmed && parts.description.isEmpty());
            FUZZ_CHECK(trimmed.startsWith(QLatin1Char('*')) ||
                       trimmed.startsWith(QLatin1Char('!')));
            return;
        case Row_parts::Kind::example: {
            FUZZ_CHECK(!is_heading_row(trimmed));
            FUZZ_CHECK(!parts.text.isEmpty() && is_trimmed(parts.text) &&
                       is_trimmed(parts.description));
            // The row is the command, a run of at least three blanks, the description; the
            // run is the first one that begins at character 12 or later, at 255 at the latest.
            FUZZ_CHECK(trimmed.startsWith(parts.text) && trimmed.endsWith(parts.description));
            const qsizetype gap_begin = parts.text.size();
            const qsizetype gap_end = trimmed.size() - parts.description.size();
            FUZZ_CHECK(gap_end - gap_begin >= 3);
            for (qsizetype i = gap_begin; i < gap_end; ++i) FUZZ_CHECK(trimmed[i] == u' ');
            const qsizetype at = trimmed.indexOf(kThreeBlanks, kRowSplitFrom - 1);
            FUZZ_CHECK(at >= kRowSplitFrom - 1 && at + 1 <= kRowSplitLimit);
            FUZZ_CHECK(at >= gap_begin && at + 3 <= gap_end);
            FUZZ_CHECK(!parts.text.mid(kRowSplitFrom - 1).contains(kThreeBlanks));
            return;
        }
    }
    fuzz_property_failed("a row kind outside the three", __FILE__, __LINE__);
}

void check_rows(const QByteArray& content, const QStringList& lines) {
    const QStringList at_rows = list_rows(content, QLatin1Char('1'));
    const QStringList pc_rows = list_rows(content, QLatin1Char('2'));
    FUZZ_CHECK(at_rows.size() + pc_rows.size() <= lines.size());
    qsizetype next_at = 0;
    qsizetype next_pc = 0;
    for (const QString& line : lines) {
        const QString trimmed = trim_blanks(line);
        const std::optional<QString> at = list_row(line, QLatin1Char('1'));
        const std::optional<QString> pc = list_row(line, QLatin1Char('2'));
        FUZZ_CHECK(!(at && pc));  // a line belongs to one mode at most
        FUZZ_CHECK(at.has_value() == trimmed.startsWith(QLatin1Char('1')));
        FUZZ_CHECK(pc.has_value() == trimmed.startsWith(QLatin1Char('2')));
        for (const std::optional<QString>& row : {at, pc}) {
            if (!row) continue;
            // What is left after the digit and one more character, blanks trimmed.
            FUZZ_CHECK(is_trimmed(*row) && trimmed.mid(2).contains(*row));
            FUZZ_CHECK(row->size() <= std::max<qsizetype>(0, trimmed.size() - 2));
            check_split(*row);
        }
        // The rows of the file are those of its lines, in file order.
        if (at) FUZZ_CHECK(next_at < at_rows.size() && at_rows[next_at++] == *at);
        if (pc) FUZZ_CHECK(next_pc < pc_rows.size() && pc_rows[next_pc++] == *pc);
    }
    FUZZ_CHECK(next_at == at_rows.size() && next_pc == pc_rows.size());
}

// A command and a description written as the file's author writes them (the digit, one
// separator, the command padded with blanks to character 14 at least, the description)
// come back as that command and that description.
void check_written_row(const QString& command_line, const QString& description_line,
                       QChar separator, int extra_blanks) {
    const QString command = trim_blanks(command_line);
    const QString description = trim_blanks(description_line);
    if (command.isEmpty() || description.isEmpty() || command.contains(kThreeBlanks)) return;
    if (command.size() + 1 > kRowSplitLimit) return;  // the blanks would begin too far right
    if (separator == u'\r' || separator == u'\n') return;
    const qsizetype width =
        std::max<qsizetype>(kRowSplitFrom + 2, command.size() + 3) + extra_blanks;
    const QString row = command.leftJustified(width, QLatin1Char(' ')) + description;
    const QByteArray file =
        "; a note\r\n  1" + QString(separator).toLatin1() + row.toLatin1() + "  \r\n2 other\r\n";
    const QStringList rows = list_rows(file, QLatin1Char('1'));
    FUZZ_CHECK(rows == QStringList{row});
    const Row_parts parts = split_list_row(rows[0]);
    if (is_heading_row(command)) {
        FUZZ_CHECK(parts.kind == Row_parts::Kind::heading && parts.text == row);
    } else {
        FUZZ_CHECK(parts.kind == Row_parts::Kind::example);
        FUZZ_CHECK(parts.text == command && parts.description == description);
    }
}

void check_file_name_and_colours(const QString& engine_id, const uint8_t* rgb) {
    const QString name = examples_file_name(engine_id);
    FUZZ_CHECK(name == trim_blanks(engine_id) + QLatin1String("_cmd.txt"));
    const QColor colour(rgb[0], rgb[1], rgb[2]);
    const std::optional<QChar> digit = mode_digit_for(colour);
    FUZZ_CHECK(digit.has_value() == (colour == colors::kRed || colour == colors::kBlue));
    if (digit) FUZZ_CHECK(*digit == (colour == colors::kRed ? u'1' : u'2'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = file_lines(content);
    check_lines(content, lines);
    check_rows(content, lines);
    for (const QString& line : lines) check_split(line);
    if (lines.size() >= 2) {
        const QChar separator =
            lines.size() >= 3 && !lines[2].isEmpty() ? lines[2][0] : QLatin1Char(' ');
        check_written_row(lines[0], lines[1], separator, int(size % 7));
    }
    if (size >= 3) check_file_name_and_colours(lines.value(0), data);
    return 0;
}
