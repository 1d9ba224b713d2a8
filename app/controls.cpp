#include "app/controls.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextDocument>

#include "app/key_codes.h"

namespace {
QString rgb(const QColor& c) { return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

void set_base_color(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    w->setPalette(p);
}
}  // namespace

void Vb_button::set_back_color(const QColor& color) {
    back_color_ = color;
    // A style sheet really paints the face, whatever the platform style does with palettes.
    setStyleSheet(color.isValid() ? QStringLiteral("QPushButton { background-color: %1; border: 1px "
                                                   "solid #606060; border-radius: 2px; }")
                                        .arg(rgb(color))
                                  : QString());
}

void Vb_button::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    QPushButton::mousePressEvent(e);
}

Vb_text_box::Vb_text_box(QWidget* parent) : QLineEdit(parent) {}

void Vb_text_box::set_back_color(const QColor& color) { set_base_color(this, color); }

void Vb_text_box::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    QLineEdit::mousePressEvent(e);
}

void Vb_text_box::mouseReleaseEvent(QMouseEvent* e) {
    QLineEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

void Vb_text_box::mouseDoubleClickEvent(QMouseEvent* e) {
    QLineEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) emit double_clicked();
}

// The handler sees the key before the box does; no key is consumed.
void Vb_text_box::keyPressEvent(QKeyEvent* e) {
    const int code = key_code_of(e);
    if (code != 0) emit key_pressed(code);
    QLineEdit::keyPressEvent(e);
}

Vb_memo::Vb_memo(QWidget* parent) : QPlainTextEdit(parent) {}

// The document's raw text, not toPlainText(): that one also turns every non-breaking space
// (byte 0xA0 from the board) into a blank, and the box's text is sent back to the board.
QString Vb_memo::text() const {
    const QString raw = document()->toRawText();
    QString text;
    text.reserve(raw.size());
    for (QChar c : raw) {
        switch (c.unicode()) {
            case QChar::ParagraphSeparator:
            case QChar::LineSeparator:
            case 0xFDD0:  // beginning and end of a frame
            case 0xFDD1:
                text += QLatin1String("\r\n");
                break;
            default:
                text += c;
        }
    }
    return text;
}

void Vb_memo::set_text(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setPlainText(plain);
}

void Vb_memo::append_text(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(plain);
}

void Vb_memo::set_back_color(const QColor& color) { set_base_color(this, color); }

void Vb_memo::mouseDoubleClickEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) emit double_clicked();
}

File_list::File_list(QWidget* parent) : QListWidget(parent) { refresh(); }

QString File_list::path() const { return QDir::toNativeSeparators(QDir::currentPath()); }

void File_list::refresh() {
    clear();
    const QStringList names =
        QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    addItems(names);
}

QString File_list::picked_name() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

void File_list::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    QListWidget::mousePressEvent(e);
}

void File_list::mouseDoubleClickEvent(QMouseEvent* e) {
    QListWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton && currentItem()) emit double_clicked();
}

Hint_line::Hint_line(QWidget* parent) : QLabel(parent) {}

void Hint_line::set_back_color(const QColor& color) {
    back_color_ = color;
    apply_look();
}

void Hint_line::set_progress(double share) {
    progress_ = share < 0 ? -1 : std::min(share, 1.0);
    apply_look();
}

void Hint_line::apply_look() {
    if (progress_ < 0) {
        setStyleSheet(QStringLiteral("QLabel { background-color: %1; }").arg(rgb(back_color_)));
        return;
    }
    const QColor fill = back_color_.darker(125);
    const double edge = std::clamp(progress_, 0.0, 0.9999);
    setStyleSheet(QStringLiteral("QLabel { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                                 "stop:0 %1, stop:%2 %1, stop:%3 %4, stop:1 %4); }")
                      .arg(rgb(fill))
                      .arg(edge)
                      .arg(edge + 0.0001)
                      .arg(rgb(back_color_)));
}
