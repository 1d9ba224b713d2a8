#include "serial/port_names.h"

#include <QDir>
#include <QFileInfo>

namespace {
QFileInfo com_link(int n) {
    return QFileInfo(QDir::current().filePath(QStringLiteral("com%1").arg(n)));
}
}  // namespace

QString device_for_com_port(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    const QFileInfo link = com_link(n);
    if (link.exists()) {
        // Open the real device, so that lock files name it and not our link.
        const QString target = link.canonicalFilePath();
        return target.isEmpty() ? link.absoluteFilePath() : target;
    }
    // A link to an unplugged converter still names COM n: it must not fall back to a
    // built-in port.
    if (link.isSymLink()) return link.absoluteFilePath();
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

bool com_port_link_present(int n) {
#ifdef Q_OS_WIN
    Q_UNUSED(n);
    return false;
#else
    const QFileInfo link = com_link(n);
    return link.exists() || link.isSymLink();
#endif
}
