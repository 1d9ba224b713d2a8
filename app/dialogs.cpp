#include "app/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

#include "app/app_title.h"

namespace {
QString shown(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
}  // namespace

void Qt_dialogs::message_box(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, shown(text), QMessageBox::Ok, parent_);
    box.exec();
}

QString Qt_dialogs::input_box(const QString& prompt, const QString& title,
                              const QString& default_answer) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, title, shown(prompt), QLineEdit::Normal,
                                                 default_answer, &ok);
    return ok ? answer : QString();
}
