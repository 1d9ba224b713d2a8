#pragma once
#include <QString>

// Removes blanks (spaces) from both ends; other characters stay. Every file the tool reads
// is trimmed this way, not by QString::trimmed(), which also takes tabs and line ends.
QString trim_blanks(const QString& text);
