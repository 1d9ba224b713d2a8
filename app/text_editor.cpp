#include "app/text_editor.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

Editor_environment Editor_environment::of_this_machine() {
    Editor_environment env;
    env.xdg_open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    for (const char* name : {"x-terminal-emulator", "xterm"}) {
        env.terminal = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!env.terminal.isEmpty()) break;
    }
    env.visual_or_editor = qEnvironmentVariable("VISUAL");
    if (env.visual_or_editor.isEmpty()) env.visual_or_editor = qEnvironmentVariable("EDITOR");
    return env;
}

bool open_in_text_editor(Editor_launcher& launcher, const QString& file) {
#ifdef Q_OS_WIN
    return launcher.start_detached(QStringLiteral("C:\\WINDOWS\\notepad.exe"), {file});
#else
    return open_in_text_editor(launcher, file, Editor_environment::of_this_machine());
#endif
}

bool open_in_text_editor(Editor_launcher& launcher, const QString& file,
                         const Editor_environment& env) {
    if (!env.xdg_open.isEmpty()) return launcher.start_detached(env.xdg_open, {file});
    if (!env.terminal.isEmpty() && !env.visual_or_editor.isEmpty()) {
        return launcher.start_detached(env.terminal,
                                       {QStringLiteral("-e"), env.visual_or_editor, file});
    }
    return false;
}

bool open_folder(Editor_launcher& launcher, const QString& folder) {
#ifdef Q_OS_WIN
    return launcher.start_detached(QStringLiteral("explorer.exe"),
                                   {QDir::toNativeSeparators(folder)});
#else
    return open_folder(launcher, folder, Editor_environment::of_this_machine());
#endif
}

bool open_folder(Editor_launcher& launcher, const QString& folder, const Editor_environment& env) {
    if (env.xdg_open.isEmpty()) return false;
    return launcher.start_detached(env.xdg_open, {folder});
}
