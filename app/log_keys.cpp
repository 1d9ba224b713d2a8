#include "app/log_keys.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSaveFile>
#include <algorithm>

#include "app/line_list.h"
#include "app/log_find.h"
#include "app/record_lines.h"
#include "app/session_record.h"
#include "app/user_prefs.h"
#include "app/vimbo_form.h"

Log_keys::Log_keys(Vimbo_form& form)
    : f_(form), find_(std::make_unique<Log_find>(*form.List_1, &form)) {
    normal_points_ = f_.List_1->font().pointSize();
    show_font_points(user_prefs::log_font_points(normal_points_));
    ask_save_name = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(&f_, QStringLiteral("Save the log"), proposed,
                                            QStringLiteral("Text files (*.txt);;All files (*)"));
    };
    f_.List_1->installEventFilter(this);
}

Log_keys::~Log_keys() = default;

bool Log_keys::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QObject::eventFilter(watched, e);
    const auto* k = static_cast<QKeyEvent*>(e);
    bool taken = false;
    f_.handle([&] { taken = key(k->key(), k->modifiers()); });
    return taken;
}

bool Log_keys::key(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (key == Qt::Key_F3 && !ctrl) {
        find_next(!shift);
        return true;
    }
    if (!ctrl) return false;
    switch (key) {
        case Qt::Key_F:
            find();
            return true;
        case Qt::Key_C:
            shift ? copy_log() : copy_line();
            return true;
        case Qt::Key_S:
            save_log();
            return true;
        case Qt::Key_T:
            switch_times();
            return true;
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // the plus key without Shift
            set_font_points(font_points() + 1);
            return true;
        case Qt::Key_Minus:
            set_font_points(font_points() - 1);
            return true;
        case Qt::Key_0:
            set_font_points(normal_points_);
            return true;
        default:
            return false;
    }
}

void Log_keys::find() {
    find_->begin();
}

void Log_keys::find_next(bool forward) {
    if (forward) {
        find_->next();
    } else {
        find_->previous();
    }
}

void Log_keys::copy_line() {
    const int row = f_.List_1->selected_index();
    if (row >= 0) QGuiApplication::clipboard()->setText(f_.List_1->shown_text(row));
}

void Log_keys::copy_log() {
    QGuiApplication::clipboard()->setText(log_text(QStringLiteral("\n")));
}

QString Log_keys::log_text(const QString& line_end) const {
    QString text;
    for (int row = 0; row < f_.List_1->count(); ++row) {
        text += f_.List_1->shown_text(row);
        text += line_end;
    }
    return text;
}

// The whole log as shown, CR LF after each line, one byte per character. The file appears
// only when it is complete; a failure leaves what was there before and says why.
void Log_keys::save_log() {
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(f_.wall_ms());
    const QString proposed = QDir::current().filePath(record::saved_log_name(now));
    const QString name = ask_save_name(proposed);
    f_.pump.check_ending();
    if (name.isEmpty()) return;
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(log_text(QStringLiteral("\r\n")).toLatin1());
        if (file.commit()) {
            f_.record().note(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(name));
            return;
        }
    }
    f_.dialogs().message_box(QStringLiteral("The log was not saved to ") +
                             QDir::toNativeSeparators(name) + QStringLiteral(":\r\n\r\n") +
                             file.errorString());
}

void Log_keys::switch_times() {
    f_.List_1->set_show_times(!f_.List_1->show_times());
}

int Log_keys::font_points() const {
    return f_.List_1->font().pointSize();
}

void Log_keys::set_font_points(int points) {
    show_font_points(points);
    user_prefs::set_log_font_points(font_points(), normal_points_);
}

void Log_keys::show_font_points(int points) {
    QFont font = f_.List_1->font();
    font.setPointSize(std::clamp(points, kSmallestPoints, kLargestPoints));
    if (font != f_.List_1->font()) f_.List_1->setFont(font);
}
