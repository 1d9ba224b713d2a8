#include "eeprom/backup_file.h"

#include <QFile>
#include <QFileInfo>

QString Backup_file::fault() const {
    if (!unreadable.isEmpty())
        return QFileInfo(name).fileName() + QStringLiteral(": ") + unreadable;
    if (image.problems.empty()) return {};
    return eep::problem_text(name, image.problems.front());
}

Backup_file load_backup(const QString& name) {
    Backup_file backup;
    backup.name = name;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        backup.unreadable =
            QStringLiteral("cannot be read (") + file.errorString() + QStringLiteral(")");
        return backup;
    }
    // One byte more than a backup may have is enough to tell that it is too large.
    backup.content = file.read(eep::kMaxImageFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        backup.unreadable =
            QStringLiteral("cannot be read (") + file.errorString() + QStringLiteral(")");
        return backup;
    }
    backup.image = eep::read_image(backup.content, name);
    return backup;
}

QString backup_to_write(const QString& eeprom_file, const QString& chosen_file) {
    return eeprom_file.isEmpty() ? chosen_file : eeprom_file;
}

QStringList backup_lines(const eep::Model& model, QByteArrayView bytes, const QDateTime& when,
                         const QLocale& locale) {
    QStringList lines;
    for (qsizetype a = 0; a + eep::kRecordBytes <= bytes.size(); a += eep::kRecordBytes) {
        const QByteArray hex = bytes.sliced(a, eep::kRecordBytes).toByteArray().toHex().toUpper();
        lines << eep::data_record(int(a), QString::fromLatin1(hex));
    }
    return lines + eep::end_lines() + eep::model_lines(model, when, locale);
}
