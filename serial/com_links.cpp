#include "serial/com_links.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "serial/number_text.h"

namespace {
QString link_name(int n) {
    return QStringLiteral("com%1").arg(n);
}
}  // namespace

std::vector<Com_link> com_links(const QDir& folder) {
    std::vector<Com_link> links;
#ifndef Q_OS_WIN
    for (int n = 1; n <= 16; ++n) {
        const QFileInfo entry(folder.filePath(link_name(n)));
        if (!entry.isSymLink() && !entry.exists()) continue;
        Com_link link;
        link.n = n;
        link.path = entry.absoluteFilePath();
        link.is_link = entry.isSymLink();
        link.target = link.is_link ? entry.symLinkTarget() : QString();
        link.dangling = link.is_link && !entry.exists();
        link.device = link.dangling ? link.target : entry.canonicalFilePath();
        links.push_back(link);
    }
#else
    Q_UNUSED(folder);
#endif
    return links;
}

int default_com_number(const QString& box_text, const std::vector<Com_link>& links) {
    const double box = round_half_even(leading_number(box_text.trimmed()));
    if (box >= 1 && box <= 16) return int(box);
    for (int n = 1; n <= 16; ++n) {
        const bool taken =
            std::any_of(links.begin(), links.end(), [n](const Com_link& l) { return l.n == n; });
        if (!taken) return n;
    }
    return 1;
}

QString make_com_link(const QDir& folder, int n, const QString& target) {
    const QString name = link_name(n);
    if (n < 1 || n > 16) return QStringLiteral("COM %1: choose a number 1 to 16.").arg(n);
    const QFileInfo device(target);
    if (!device.exists()) {
        return device.isSymLink()
                   ? QStringLiteral("%1 points nowhere: the converter has gone. %2 not changed.")
                         .arg(target, name)
                   : QStringLiteral("%1 is gone (unplugged?). %2 not changed.").arg(target, name);
    }
    const QString path = folder.absoluteFilePath(name);
    const QFileInfo old(path);
    const bool replacing = old.isSymLink();
    if (old.exists() && !replacing) {
        return QStringLiteral(
                   "%1 is a file, not a link: left as it is. Choose another COM "
                   "number or move the file away.")
            .arg(path);
    }
    if (replacing && old.symLinkTarget() == device.absoluteFilePath()) return {};
    if (!QFileInfo(folder.absolutePath()).isWritable()) {
        return QStringLiteral("The working folder %1 is not writable: %2 not made.")
            .arg(folder.absolutePath(), name);
    }
    const QString old_target = replacing ? old.symLinkTarget() : QString();
    QFile existing(path);
    if (replacing && !existing.remove()) {
        return QStringLiteral("%1 cannot be replaced: %2.").arg(path, existing.errorString());
    }
    QFile made(target);
    if (!made.link(path)) {
        const QString why = made.errorString();
        if (replacing) QFile::link(old_target, path);  // put the old link back
        return QStringLiteral("%1 cannot be made: %2.").arg(path, why);
    }
    return {};
}

int windows_com_number(const QString& port_name) {
    if (!port_name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return 0;
    bool number = false;
    const int n = port_name.mid(3).toInt(&number);
    return number && n > 0 ? n : 0;
}
