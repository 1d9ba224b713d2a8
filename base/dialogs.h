#pragma once
#include <QString>

// Modal dialogs: the message box (OK only, no icon, "VIMBO" as caption) and the input box.
// Texts use CR LF between lines.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual void message_box(const QString& text) = 0;
    // The answer, or an empty text on Cancel.
    virtual QString input_box(const QString& prompt, const QString& title,
                              const QString& default_answer) = 0;
};
