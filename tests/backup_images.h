#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include "eeprom/eep_format.h"

// EEPROM images and .eep backups of them, written as the read writes them.
namespace backup_images {

// size bytes that differ from record to record, varied by seed.
inline QByteArray pattern(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char((i * 13 + seed * 29 + i / 16) & 0xFF);
    return bytes;
}

// The lines of the backup of bytes (CR LF after each), with the trailer of the name's model.
inline QByteArray backup(const QString& name, const QByteArray& bytes) {
    QByteArray out;
    for (int a = 0; a < bytes.size(); a += eep::kRecordBytes) {
        const QString data = QString::fromLatin1(bytes.mid(a, eep::kRecordBytes).toHex().toUpper());
        out += eep::data_record(a, data).toLatin1() + "\r\n";
    }
    QStringList trailer = eep::end_lines();
    if (const eep::Model* model = eep::model_for_name(name)) {
        const QDateTime when(QDate(2026, 12, 10), QTime(11, 30));
        trailer += eep::model_lines(*model, when, QLocale::c());
    }
    for (const QString& line : trailer) out += line.toLatin1() + "\r\n";
    return out;
}

}  // namespace backup_images
