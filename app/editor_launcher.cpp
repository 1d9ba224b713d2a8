#include "app/editor_launcher.h"

#include <QProcess>

bool Process_launcher::start_detached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
