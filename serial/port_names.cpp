#include "serial/port_names.h"

#include <QDir>
#include <QFileInfo>

QString device_for_com_port(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    const QFileInfo link(QDir::current().filePath(QStringLiteral("com%1").arg(n)));
    if (link.exists()) {
        // Open the real device, so that lock files name it and not our link.
        const QString target = link.canonicalFilePath();
        return target.isEmpty() ? link.absoluteFilePath() : target;
    }
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}
