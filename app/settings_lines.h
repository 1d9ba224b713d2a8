#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "base/blanks.h"

// The text of the settings file "vimbo.set": three lines, each a value followed directly
// by its comment, ended by CR LF. Pure rules, no files and no widgets.

inline const QString kSettingsFileName = QStringLiteral("vimbo.set");
inline const QString kComNumberComment = QStringLiteral("    Last selected CommPort Number.");
inline const QString kBaudRateComment = QStringLiteral("    Last selected Baud Rate.");
inline const QString kModuleIdComment = QStringLiteral("    Last selected GSM Engine.");

// The values the save takes from the three setting boxes: the port and rate texts as
// typed with blanks trimmed from both ends, the engine id exactly as typed.
struct Settings_to_save {
    QString Com_number;
    QString Baud_rate;
    QString Module_id;
};
Settings_to_save settings_from_boxes(const QString& com_box, const QString& baud_box,
                                     const QString& module_box);

// The three lines with their comments and CR LF, one byte per character.
QByteArray settings_file_text(const Settings_to_save& values);

// What the start-up takes from the lines read. Reading stops at the first missing line:
// lines_read tells how far it got, and only the values of lines read are meaningful.
struct Settings_read {
    int lines_read = 0;       // 0 to 3
    QString Com_number;       // line 1: its leading number as plain decimal text
    bool port_named = false;  // line 1's number is above 0
    QString Baud_rate;        // line 2: likewise
    bool baud_named = false;  // line 2's number is above 0
    QString Module_id;        // line 3: its first four characters, blanks trimmed
    bool complete() const { return lines_read == 3; }
};
Settings_read settings_from_lines(const QStringList& lines);

// Splits file content into lines, one byte per character. CR LF, a bare CR and a bare LF
// each end a line (the file may have been edited on any system); text after the last line
// end is a line of its own. At most max_lines are returned.
QStringList split_settings_lines(const QByteArray& content, int max_lines = 3);
