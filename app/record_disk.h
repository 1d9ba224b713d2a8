#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// Where the session record goes: one folder, one file open for appending at a time. Each
// call answers an empty text on success, else why it failed, in words for the log.
class Record_disk {
  public:
    virtual ~Record_disk() = default;
    // Makes the folder (and the folders above it) unless it is there.
    virtual QString make_folder(const QString& path) = 0;
    virtual QString open_for_append(const QString& path) = 0;
    // One whole line; it has reached the operating system when this returns.
    virtual QString write(const QByteArray& line) = 0;
    // Down to the disk itself.
    virtual void sync() = 0;
    virtual void close() = 0;
};

// The real files: unbuffered, so that a crash of the program loses nothing written.
class File_record_disk : public Record_disk {
  public:
    QString make_folder(const QString& path) override;
    QString open_for_append(const QString& path) override;
    QString write(const QByteArray& line) override;
    void sync() override;
    void close() override;

  private:
    QFile file_;
};
