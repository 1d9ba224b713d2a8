#pragma once
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

#include "base/blanks.h"

// The row rules of a command examples file ("<engine id>_cmd.txt") and of its side list.
// Plain functions on text, no widgets.

// "<engine id trimmed>_cmd.txt".
QString examples_file_name(const QString& module_id);

// The mode digit the command line's colour stands for: '1' for pure red (AT mode), '2' for
// pure blue (PC command mode), none for any other colour (no mode chosen yet).
std::optional<QChar> mode_digit_for(const QColor& command_line_color);

// The lines of a file read as 8-bit text; CR LF, a lone CR and a lone LF each end a line.
QStringList file_lines(const QByteArray& content);

// The list row a file line gives in the mode of that digit: the line trimmed, its digit and
// the one character after it dropped, trimmed again. None when the line belongs to no or
// another mode.
std::optional<QString> list_row(const QString& line, QChar mode_digit);

// Every list row of a file in the mode of that digit, in file order.
QStringList list_rows(const QByteArray& content, QChar mode_digit);

// What a click on a list row makes of it.
struct Row_parts {
    enum class Kind {
        nothing,  // empty, not split, or split too far right: nothing changes
        heading,  // begins with "*" or "!": text is the whole row
        example,  // text is the command, description the rest
    };
    Kind kind = Kind::nothing;
    QString text;
    QString description;
};

// Position (counting from 1) where the command part of a row may end at the earliest.
constexpr int kRowSplitFrom = 12;
// Farthest position (counting from 1) of the separating blanks that is still taken apart.
constexpr int kRowSplitLimit = 255;

// The row trimmed; a heading or note if it begins with "*" or "!"; else split at the first
// run of three blanks that begins at character 12 or later.
Row_parts split_list_row(const QString& row);

// True for a heading or note row (after trimming, begins with "*" or "!").
bool is_heading_row(const QString& trimmed_row);
