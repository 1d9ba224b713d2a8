#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

// The .eep image file: one "#" data record (Intel HEX with "#" for the colon) per 16 EEPROM
// bytes, then the end record and a short trailer naming the model, the size and the date.
// Every line ends with CR LF in the file; the texts here carry no line end.
namespace eep {

// A controller model, known by the first two characters of the image file's name.
struct Model {
    const char* prefix;    // "24", "64", "88"
    int bytes;             // EEPROM size
    const char* mcu_line;  // the trailer's model line
};

const std::array<Model, 3>& models();
// The model whose prefix the name begins with (exact, case-sensitive), or null.
const Model* model_for_name(const QString& name);
// "24, 64 or 88", for messages that list the accepted prefixes.
QString accepted_prefixes();

inline constexpr int kRecordBytes = 16;
inline constexpr int kRecordDataChars = 2 * kRecordBytes;
inline const QString kDefaultName = QStringLiteral("8800.eep");
inline const QString kEndRecord = QStringLiteral("#00000001FF");

// The data record for the 16 bytes at address (a multiple of 16 below 65536); data holds
// their 32 upper-case hexadecimal digits, copied as they are. The checksum makes the 21
// record bytes add up to a multiple of 256.
QString data_record(int address, QStringView data);

// The lines written after the last data record: the end record and two empty lines.
QStringList end_lines();
// Then the model line, the size line, the date line and an empty line.
QStringList model_lines(const Model& model, const QDateTime& when, const QLocale& locale);
QString size_line(const Model& model);
// "Dump date; " with the date and time in the locale's short formats.
QString date_line(const QDateTime& when, const QLocale& locale);

}  // namespace eep
