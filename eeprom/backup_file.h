#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "eeprom/image_check.h"

// A .eep backup read whole from disk and checked, as Write EEP and the compare need it
// before anything goes on the wire.
struct Backup_file {
    QString name;        // as given (with or without a folder)
    QByteArray content;  // every byte read
    QString unreadable;  // why it could not be read; empty when it was
    eep::Image_read image;

    bool sound() const { return unreadable.isEmpty() && image.sound(); }
    // What is wrong, for the log and the message box: the first problem with its line
    // ("2418.eep line 12: checksum 5A, should be 3C"); empty for a sound backup.
    QString fault() const;
};

Backup_file load_backup(const QString& name);

// The backup a left click on Write EEP sends now: the name last given to the read, else
// the file picked in the list.
QString backup_to_write(const QString& eeprom_file, const QString& chosen_file);

// The lines of a backup of these bytes as the read writes them: a data record for every
// 16 bytes, the end record and the model's trailer dated when.
QStringList backup_lines(const eep::Model& model, QByteArrayView bytes, const QDateTime& when,
                         const QLocale& locale);
