#pragma once
#include <QKeyEvent>

// The key code of Enter (Return and the keypad's Enter alike).
inline constexpr int kEnter = 13;

// The key code a key-press handler sees: kEnter for Enter, else the typed character's code,
// 0 for keys that type nothing.
inline int key_code_of(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return kEnter;
    const QString text = e->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}
