#include "app/line_list.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/key_codes.h"

void Line_store::append(const QString& line) {
    for (QChar c : line) text_.push_back(c.unicode() < 256 ? char(c.unicode()) : '?');
    ends_.push_back(qint64(text_.size()));
    longest_ = std::max(longest_, int(line.size()));
}

void Line_store::clear() {
    std::vector<char>().swap(text_);
    std::vector<qint64>().swap(ends_);
    longest_ = 0;
}

QString Line_store::line(int row) const {
    if (row < 0 || row >= count()) return {};
    const qint64 begin = row == 0 ? 0 : ends_[std::size_t(row) - 1];
    const qint64 end = ends_[std::size_t(row)];
    return QString::fromLatin1(text_.data() + begin, end - begin);
}

Line_list::Line_list(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
}

int Line_list::row_height() const { return std::max(1, fontMetrics().height()); }

int Line_list::visible_rows() const { return std::max(1, viewport()->height() / row_height()); }

int Line_list::top_row() const { return verticalScrollBar()->value(); }

int Line_list::row_at(int y) const {
    const int row = top_row() + y / row_height();
    return row < count() ? row : -1;
}

void Line_list::update_scroll_ranges() {
    verticalScrollBar()->setRange(0, std::max(0, count() - visible_rows()));
    verticalScrollBar()->setPageStep(visible_rows());
    const int text_width = store_.longest() * fontMetrics().horizontalAdvance(QLatin1Char('M'));
    horizontalScrollBar()->setRange(0, std::max(0, text_width + 4 - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void Line_list::add_item(const QString& line) {
    store_.append(line);
    update_scroll_ranges();
    viewport()->update();
}

void Line_list::clear_items() {
    store_.clear();
    selected_ = -1;
    update_scroll_ranges();
    viewport()->update();
}

void Line_list::set_selected_index(int row) {
    selected_ = row >= 0 && row < count() ? row : -1;
    if (selected_ >= 0) {
        QScrollBar* bar = verticalScrollBar();
        if (selected_ < bar->value()) {
            bar->setValue(selected_);
        } else if (selected_ >= bar->value() + visible_rows()) {
            bar->setValue(selected_ - visible_rows() + 1);
        }
    }
    viewport()->update();
}

void Line_list::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int height = row_height();
    const int first = top_row();
    const int last = std::min(count(), first + visible_rows() + 1);
    const int x = 2 - horizontalScrollBar()->value();
    for (int row = first; row < last; ++row) {
        const QRect rect(0, (row - first) * height, viewport()->width(), height);
        const bool selected = row == selected_;
        if (selected) painter.fillRect(rect, palette().color(QPalette::Highlight));
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(x, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         store_.line(row));
    }
}

void Line_list::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    update_scroll_ranges();
}

void Line_list::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) update_scroll_ranges();
}

void Line_list::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    if (e->button() != Qt::LeftButton) return;
    const int row = row_at(e->position().toPoint().y());
    if (row >= 0) set_selected_index(row);
}

void Line_list::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && row_at(e->position().toPoint().y()) >= 0) {
        emit clicked_item();
    }
}

void Line_list::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit double_clicked();
}

void Line_list::move_selection_by_key(int row) {
    if (count() == 0) return;
    set_selected_index(std::clamp(row, 0, count() - 1));
    emit clicked_item();  // moving the selection by key counts as a click on the row
}

void Line_list::keyPressEvent(QKeyEvent* e) {
    const int code = key_code_of(e);
    if (code != 0) emit key_pressed(code);
    switch (e->key()) {
        case Qt::Key_Up: move_selection_by_key(selected_ - 1); break;
        case Qt::Key_Down: move_selection_by_key(selected_ + 1); break;
        case Qt::Key_PageUp: move_selection_by_key(selected_ - visible_rows()); break;
        case Qt::Key_PageDown: move_selection_by_key(selected_ + visible_rows()); break;
        case Qt::Key_Home: move_selection_by_key(0); break;
        case Qt::Key_End: move_selection_by_key(count() - 1); break;
        default: QAbstractScrollArea::keyPressEvent(e); break;
    }
}
