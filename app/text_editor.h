#pragma once
#include <QString>

#include "app/editor_launcher.h"

// Opens a text file in the desktop's text editor, detached and without waiting.
// On Windows this is notepad with the file as its only argument. On Linux it is the
// desktop's handler for the file (xdg-open); without one, $VISUAL or $EDITOR in a
// terminal window. False when nothing could be started.
bool open_in_text_editor(Editor_launcher& launcher, const QString& file);

// The program lookups the Linux choice depends on, replaceable in tests.
struct Editor_environment {
    QString xdg_open;  // path of xdg-open, empty if missing
    QString terminal;  // path of a terminal emulator, empty if missing
    QString visual_or_editor;
    static Editor_environment of_this_machine();
};
bool open_in_text_editor(Editor_launcher& launcher, const QString& file,
                         const Editor_environment& env);

// Opens a folder in the desktop's file manager (explorer on Windows, xdg-open elsewhere),
// detached. False when nothing could be started.
bool open_folder(Editor_launcher& launcher, const QString& folder);
bool open_folder(Editor_launcher& launcher, const QString& folder, const Editor_environment& env);
