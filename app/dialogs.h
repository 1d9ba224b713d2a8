#pragma once
#include <QString>

#include "base/dialogs.h"

class QWidget;
// The real dialogs, modal over the window.
class Qt_dialogs : public Dialogs {
  public:
    explicit Qt_dialogs(QWidget* parent) : parent_(parent) {}
    void message_box(const QString& text) override;
    QString input_box(const QString& prompt, const QString& title,
                      const QString& default_answer) override;

  private:
    QWidget* parent_;
};
