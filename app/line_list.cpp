#include "app/line_list.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <iterator>

#include "app/controls.h"
#include "app/key_codes.h"
#include "app/record_lines.h"

namespace {
constexpr int kTimePrefixChars = 13;  // "10:50:05.123 "
}

void Line_store::append(const QString& line, std::int64_t arrived_ms) {
    std::transform(line.begin(), line.end(), std::back_inserter(text_),
                   [](QChar c) { return c.unicode() < 256 ? char(c.unicode()) : '?'; });
    ends_.push_back(qint64(text_.size()));
    times_.push_back(arrived_ms);
    longest_ = std::max(longest_, int(line.size()));
}

void Line_store::clear() {  // and give the memory back
    std::vector<char>().swap(text_);
    std::vector<qint64>().swap(ends_);
    std::vector<std::int64_t>().swap(times_);
    longest_ = 0;
}

QString Line_store::line(int row) const {
    const std::string_view text = bytes(row);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::string_view Line_store::bytes(int row) const {
    if (row < 0 || row >= count()) return {};
    const qint64 begin = row == 0 ? 0 : ends_[std::size_t(row) - 1];
    const qint64 end = ends_[std::size_t(row)];
    return {text_.data() + begin, std::size_t(end - begin)};
}

Line_list::Line_list(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    refresh_timer_.setSingleShot(true);
    connect(&refresh_timer_, &QTimer::timeout, this, [this] { refresh(); });
}

void Line_list::schedule_refresh() {
    if (refresh_timer_.isActive() || refresh_posted_) return;
    const qint64 since = since_refresh_.isValid() ? since_refresh_.elapsed() : kStreamRepaintMs;
    if (since < kStreamRepaintMs) {
        refresh_timer_.start(int(kStreamRepaintMs - since));
        return;
    }
    refresh_posted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (refresh_posted_) refresh();
        },
        Qt::QueuedConnection);
}

// Only what changed is painted again: the rows appended since the last refresh and the
// rows whose selection changed; a scroll moves the picture and paints the uncovered rows.
void Line_list::refresh() {
    refresh_timer_.stop();
    refresh_posted_ = false;
    since_refresh_.start();
    update_scroll_ranges();
    scroll_to_selection();
    for (int row = std::max(painted_count_, top_row());
         row < count() && row <= top_row() + visible_rows(); ++row) {
        update_row(row);
    }
    if (painted_selected_ != selected_) {
        update_row(painted_selected_);
        update_row(selected_);
    }
    painted_count_ = count();
    painted_selected_ = selected_;
}

void Line_list::update_row(int row) {
    if (row < top_row() || row > top_row() + visible_rows()) return;
    viewport()->update(0, (row - top_row()) * row_height(), viewport()->width(), row_height());
}

void Line_list::scrollContentsBy(int dx, int dy) {
    if (dx != 0 || std::abs(dy) >= visible_rows()) {
        viewport()->update();
        return;
    }
    viewport()->scroll(0, dy * row_height());
}

int Line_list::row_height() const {
    return std::max(1, fontMetrics().height());
}

int Line_list::visible_rows() const {
    return std::max(1, viewport()->height() / row_height());
}

int Line_list::top_row() const {
    return verticalScrollBar()->value();
}

int Line_list::row_at(int y) const {
    const int row = top_row() + y / row_height();
    return row < count() ? row : -1;
}

void Line_list::update_scroll_ranges() {
    verticalScrollBar()->setRange(0, std::max(0, count() - visible_rows()));
    verticalScrollBar()->setPageStep(visible_rows());
    const int shown_longest = store_.longest() + (show_times_ ? kTimePrefixChars : 0);
    const int text_width = shown_longest * fontMetrics().horizontalAdvance(QLatin1Char('M'));
    horizontalScrollBar()->setRange(0, std::max(0, text_width + 4 - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void Line_list::add_item(const QString& line) {
    store_.append(line, arrival_clock ? arrival_clock() : 0);
    schedule_refresh();
}

void Line_list::set_show_times(bool on) {
    if (on == show_times_) return;
    show_times_ = on;
    painted_rows_.clear();
    update_scroll_ranges();
    viewport()->update();
}

QString Line_list::shown_text(int row) const {
    if (!show_times_ || row < 0 || row >= count()) return store_.line(row);
    return record::arrival_time(QDateTime::fromMSecsSinceEpoch(store_.arrived_ms(row))) + u' ' +
           store_.line(row);
}

void Line_list::clear_items() {
    store_.clear();
    painted_rows_.clear();
    selected_ = -1;
    painted_count_ = 0;
    painted_selected_ = -1;
    refresh();
    viewport()->update();
}

void Line_list::set_selected_index(int row) {
    selected_ = row >= 0 && row < count() ? row : -1;
    schedule_refresh();
}

void Line_list::scroll_to_selection() {
    if (selected_ < 0) return;
    QScrollBar* bar = verticalScrollBar();
    if (selected_ < bar->value()) {
        bar->setValue(selected_);
    } else if (selected_ >= bar->value() + visible_rows()) {
        bar->setValue(selected_ - visible_rows() + 1);
    }
}

void Line_list::paintEvent(QPaintEvent* e) {
    QPainter painter(viewport());
    const int height = row_height();
    const int top = top_row();
    const int first = top + e->rect().top() / height;
    const int last = std::min(count(), top + e->rect().bottom() / height + 1);
    const int x = 2 - horizontalScrollBar()->value();
    for (int row = first; row < last; ++row) {
        const int y = (row - top) * height;
        const bool selected = row == selected_;
        if (selected) {
            painter.fillRect(QRect(0, y, viewport()->width(), height),
                             palette().color(QPalette::Highlight));
        }
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        auto cached = painted_rows_.find(row);
        QStaticText text;
        if (cached != painted_rows_.end()) {
            text = cached->second;
        } else {
            text.setText(shown_text(row));
            text.setTextFormat(Qt::PlainText);
            text.setPerformanceHint(QStaticText::AggressiveCaching);
        }
        painter.drawStaticText(x, y + (height - fontMetrics().height()) / 2, text);
        painted_rows_[row] = std::move(text);
    }
    // Keep the laid-out text of the rows in view only.
    std::erase_if(painted_rows_, [&](const auto& entry) {
        return entry.first < top || entry.first > top + visible_rows() + 1;
    });
}

void Line_list::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    update_scroll_ranges();
}

void Line_list::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        painted_rows_.clear();
        update_scroll_ranges();
        viewport()->update();
    }
}

void Line_list::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    if (e->button() != Qt::LeftButton) return;
    refresh();  // the rows under the mouse are the ones shown now
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
        case Qt::Key_Up:
            move_selection_by_key(selected_ - 1);
            break;
        case Qt::Key_Down:
            move_selection_by_key(selected_ + 1);
            break;
        case Qt::Key_PageUp:
            move_selection_by_key(selected_ - visible_rows());
            break;
        case Qt::Key_PageDown:
            move_selection_by_key(selected_ + visible_rows());
            break;
        case Qt::Key_Home:
            move_selection_by_key(0);
            break;
        case Qt::Key_End:
            move_selection_by_key(count() - 1);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(e);
            break;
    }
}
