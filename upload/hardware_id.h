#pragma once
#include <QString>

// The hardware ids a board's loader reports after the upload start byte ("#" and four
// digits), and the check of the file about to be sent against them. For two of the ids the
// file must be made for that board; the others are taken for any file.
enum class Hardware_id_verdict {
    not_an_id,   // none of the known ids
    accepted,    // a known id that needs no check
    matched,     // a checked id, and the file is made for it
    mismatched,  // a checked id, and the file is made for another board
};

// file_id: the first four characters of the name of the file being sent.
Hardware_id_verdict check_hardware_id(const QString& reply, const QString& file_id);

// The id a file is made for: the first four characters of its name without the folder.
QString file_id_of(const QString& file_name);

// The value of the decimal digits at the start of a text; 0 when it begins otherwise.
int leading_digits_value(const QString& text);
