#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "eeprom/eep_format.h"

// Reading a .eep backup back: the data records as the EEPROM read writes them, checked line
// by line, into the bytes they hold. Every problem is kept with the line it was found on, so
// that a refusal can say where the file went wrong.
namespace eep {

// A backup is a few kilobytes; a file far larger than that is no backup.
inline constexpr qsizetype kMaxImageFileBytes = 1 << 20;

struct Image_problem {
    int line = 0;  // 1 for the first line; 0 when the file as a whole is wrong
    QString what;  // "checksum 5A, should be 3C"
    bool operator==(const Image_problem&) const = default;
};

// What the trailer after the end record says; empty where a line is missing.
struct Image_trailer {
    QString model_line;  // "Mcu type; 324 / SMS Controller type Rq5"
    QString size_line;   // "1024 Eeprom bytes."
    QString date_line;   // "Dump date; ..."
};

struct Image_read {
    const Model* model = nullptr;  // from the file's name; null when the name has none
    // The data bytes in address order: every well-formed record is placed at its own
    // address, so a faulty file still shows what it holds. Sized for the model when known.
    QByteArray bytes;
    int records = 0;                      // data records read before the end record
    bool end_record = false;              // the end record was found
    std::vector<Image_problem> problems;  // in line order, at most kMaxProblems
    Image_trailer trailer;
    bool sound() const { return problems.empty(); }
};

inline constexpr std::size_t kMaxProblems = 50;

// Reads a backup's content; file_name (with or without a folder) gives the model. Lines end
// with CR LF or LF; what follows the end record is not checked.
Image_read read_image(QByteArrayView content, const QString& file_name);

// The problem as a message names it: "2418.eep line 12: checksum 5A, should be 3C".
QString problem_text(const QString& file_name, const Image_problem& problem);

// "324" for the model whose line is "Mcu type; 324 / ...".
QString mcu_of(const Model& model);

}  // namespace eep
