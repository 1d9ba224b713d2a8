#pragma once
#include <QKeyEvent>

// The key code a key-press handler sees: 13 for Enter, else the typed character's code,
// 0 for keys that type nothing.
inline int key_code_of(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return 13;
    const QString text = e->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}
