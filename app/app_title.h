#pragma once
#include <QString>

// The application's title: the window's first title and every message box's caption.
inline const QString kAppTitle = QStringLiteral("VIMBO");
