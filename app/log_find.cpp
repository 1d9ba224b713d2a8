#include "app/log_find.h"

#include <QHBoxLayout>
#include <QKeyEvent>

#include "app/line_list.h"
#include "app/log_search.h"

const QString Log_find::kNotFound = QStringLiteral("not found");

Log_find::Log_find(Line_list& log, QWidget* owner)
    : QWidget(owner, Qt::Tool), log_(log), field_(new QLineEdit(this)), status_(new QLabel(this)) {
    setObjectName(QStringLiteral("log_find"));
    setWindowTitle(QStringLiteral("Find in the log"));
    field_->setPlaceholderText(QStringLiteral("text to find; F3 next, Shift+F3 previous"));
    field_->setMinimumWidth(240);
    status_->setMinimumWidth(110);
    auto* row = new QHBoxLayout(this);
    row->addWidget(field_);
    row->addWidget(status_);
    connect(field_, &QLineEdit::textEdited, this, [this] { typed(); });
}

void Log_find::begin() {
    typed_from_ = std::max(0, log_.selected_index());
    status_->clear();
    show();
    raise();
    activateWindow();
    field_->setFocus();
    field_->selectAll();
}

// Each character typed searches again from where the search began, so that the match
// grows with the text instead of running ahead.
void Log_find::typed() {
    show_row(typed_from_, true);
}

void Log_find::step(bool forward) {
    const int selected = log_.selected_index();
    show_row(selected < 0 ? (forward ? 0 : log_.count() - 1) : selected + (forward ? 1 : -1),
             forward);
    typed_from_ = std::max(0, log_.selected_index());
}

void Log_find::show_row(int from, bool forward) {
    const QString needle = field_->text();
    if (needle.isEmpty()) {
        status_->clear();
        return;
    }
    const Found_row found = find_row(log_.store(), needle, from, forward);
    if (found.row < 0) {
        status_->setText(kNotFound);
        return;
    }
    log_.set_selected_index(found.row);
    log_.refresh_now();
    status_->setText(!found.wrapped ? QString()
                     : forward      ? QStringLiteral("from the top again")
                                    : QStringLiteral("from the bottom again"));
}

void Log_find::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
        case Qt::Key_F3:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            step(!shift);
            return;
        case Qt::Key_Escape:
            hide();
            log_.setFocus();
            return;
        default:
            QWidget::keyPressEvent(e);
    }
}
