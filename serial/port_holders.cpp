#include "serial/port_holders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace {
#ifdef Q_OS_LINUX
QString program_of(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

std::optional<Port_holder> open_file_holder(const QString& device) {
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        // Other users' processes cannot be looked into: the listing is empty.
        const QFileInfoList open_files = fds.entryInfoList(QDir::System | QDir::Files);
        if (std::any_of(open_files.begin(), open_files.end(),
                        [&](const QFileInfo& fd) { return fd.symLinkTarget() == device; })) {
            return Port_holder{program_of(pid), pid};
        }
    }
    return std::nullopt;
}
#endif
}  // namespace

namespace {
// The name Qt and the uucp tradition give a device's lock: without /dev/, '/' as '_'.
QString lock_name(const QString& device) {
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/"))) name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}
}  // namespace

Lock_files::Lock_files() {
#ifdef Q_OS_LINUX
    const QStringList folders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                              QStringLiteral("/var/spool/locks"), QDir::tempPath()};
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({QStringLiteral("LCK..*")}, QDir::Files)) {
            if (held_.contains(name)) continue;
            QFile lock(dir.filePath(name));
            if (!lock.open(QIODevice::ReadOnly)) continue;
            bool number = false;
            const qint64 pid = QString::fromLatin1(lock.readLine(64)).trimmed().toLongLong(&number);
            if (!number || pid <= 0) continue;
            const QString program = program_of(pid);
            if (!program.isEmpty()) held_.insert(name, Port_holder{program, pid});  // else stale
        }
    }
#endif
}

std::optional<Port_holder> Lock_files::holder(const QString& device) const {
    const auto it = held_.constFind(lock_name(device));
    if (it == held_.constEnd()) return std::nullopt;
    return *it;
}

std::optional<Port_holder> find_port_holder(const QString& device) {
#ifdef Q_OS_LINUX
    const QString real = QFileInfo(device).canonicalFilePath();
    if (real.isEmpty()) return std::nullopt;
    if (auto holder = open_file_holder(real)) return holder;
    return Lock_files().holder(real);
#else
    Q_UNUSED(device);
    return std::nullopt;
#endif
}
