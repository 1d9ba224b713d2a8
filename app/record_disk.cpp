#include "app/record_disk.h"

#include <QDir>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

QString File_record_disk::make_folder(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        return QDir::toNativeSeparators(path) + QStringLiteral(" is a file, not a folder");
    }
    if (info.isDir() || QDir().mkpath(path)) return {};
    return QStringLiteral("the folder ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" cannot be made");
}

QString File_record_disk::open_for_append(const QString& path) {
    close();
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return {};
    return QDir::toNativeSeparators(path) + QStringLiteral(" cannot be opened (") +
           file_.errorString() + QStringLiteral(")");
}

QString File_record_disk::write(const QByteArray& line) {
    if (file_.write(line) == line.size()) return {};
    const QString why = QDir::toNativeSeparators(file_.fileName()) +
                        QStringLiteral(" cannot be written (") + file_.errorString() +
                        QStringLiteral(")");
    close();
    return why;
}

void File_record_disk::sync() {
    if (!file_.isOpen()) return;
#if defined(Q_OS_UNIX)
    ::fsync(file_.handle());
#elif defined(Q_OS_WIN)
    ::_commit(file_.handle());
#endif
}

void File_record_disk::close() {
    if (file_.isOpen()) file_.close();
}
