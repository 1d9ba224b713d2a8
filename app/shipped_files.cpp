#include "app/shipped_files.h"

#include <QDir>
#include <QFileInfo>

QString shipped_file_path(const QString& app_dir, const QString& beside_name,
                          const QString& share_name, const File_exists& exists) {
    const QDir dir(app_dir);
    const QString beside = QDir::cleanPath(dir.filePath(beside_name));
    if (exists(beside)) return beside;
    return QDir::cleanPath(dir.filePath(QStringLiteral("../share/vimbo/") + share_name));
}

QString examples_file_to_read(const QString& name, const QString& app_dir,
                              const File_exists& exists) {
    if (exists(name)) return name;
    const QString shipped =
        shipped_file_path(app_dir, name, QStringLiteral("examples/") + name, exists);
    return exists(shipped) ? shipped : name;
}

bool is_file(const QString& path) {
    return QFileInfo(path).isFile();
}
