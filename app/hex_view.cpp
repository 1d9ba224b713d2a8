#include "app/hex_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kBytesPerRow = 16;
constexpr int kAddressChars = 6;          // "0120" and two blanks
constexpr int kHexStart = kAddressChars;  // "5A " per byte
constexpr int kCharStart = kHexStart + 3 * kBytesPerRow + 1;
constexpr int kSideChars = kCharStart + kBytesPerRow;
constexpr int kGapChars = 4;
constexpr int kMarginPx = 4;
const QColor kDifferent{255, 200, 200};
const QColor kCurrent{255, 120, 60};

QChar printable(char c) {
    const auto u = uchar(c);
    return u >= 0x20 && u < 0x7F ? QLatin1Char(c) : QLatin1Char('.');
}
}  // namespace

Hex_view::Hex_view(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    setFont(font);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

void Hex_view::set_images(const QByteArray& left, const QByteArray& right) {
    left_ = left;
    right_ = right;
    differs_.assign(std::size_t(std::max(left.size(), right.size())), false);
    if (!right.isEmpty()) {
        for (qsizetype i = 0; i < qsizetype(differs_.size()); ++i) {
            differs_[std::size_t(i)] = i >= left.size() || i >= right.size() || left[i] != right[i];
        }
    }
    current_start_ = current_length_ = 0;
    update_scroll_range();
    viewport()->update();
}

bool Hex_view::differs_at(int address) const {
    return address >= 0 && std::size_t(address) < differs_.size() && differs_[std::size_t(address)];
}

int Hex_view::rows() const {
    return int((std::max(left_.size(), right_.size()) + kBytesPerRow - 1) / kBytesPerRow);
}

void Hex_view::set_current(int start, int length) {
    current_start_ = start;
    current_length_ = length;
    if (length > 0) show_address(start);
    viewport()->update();
}

void Hex_view::show_address(int address) {
    const int row = address / kBytesPerRow;
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value() || row >= bar->value() + visible_rows()) {
        bar->setValue(std::max(0, row - visible_rows() / 2));
    }
}

int Hex_view::first_visible_row() const {
    return verticalScrollBar()->value();
}

int Hex_view::visible_rows() const {
    return std::max(1, (viewport()->height() - kMarginPx) / row_height());
}

QString Hex_view::row_text(const QByteArray& image, int row) {
    const int start = row * kBytesPerRow;
    QString text = QStringLiteral("%1").arg(start, 4, 16, QLatin1Char('0')).toUpper();
    text += QStringLiteral("  ");
    QString chars;
    for (int i = 0; i < kBytesPerRow; ++i) {
        const int at = start + i;
        if (at < image.size()) {
            text += QStringLiteral("%1 ").arg(uchar(image[at]), 2, 16, QLatin1Char('0')).toUpper();
            chars += printable(image[at]);
        } else {
            text += QStringLiteral("   ");
            chars += QLatin1Char(' ');
        }
    }
    return text + QLatin1Char(' ') + chars;
}

QSize Hex_view::sizeHint() const {
    const int sides = right_.isEmpty() ? 1 : 2;
    const int width = (sides * side_width() - kGapChars) * char_width() + 2 * kMarginPx +
                      verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
    return {width, 24 * row_height() + 2 * kMarginPx};
}

int Hex_view::row_height() const {
    return fontMetrics().height();
}
int Hex_view::char_width() const {
    return fontMetrics().horizontalAdvance(QLatin1Char('0'));
}
int Hex_view::side_width() const {
    return kSideChars + kGapChars;
}

void Hex_view::update_scroll_range() {
    verticalScrollBar()->setRange(0, std::max(0, rows() - visible_rows()));
    verticalScrollBar()->setPageStep(visible_rows());
    const int sides = right_.isEmpty() ? 1 : 2;
    const int content = (sides * side_width() - kGapChars) * char_width() + 2 * kMarginPx;
    horizontalScrollBar()->setRange(0, std::max(0, content - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void Hex_view::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    update_scroll_range();
}

void Hex_view::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    p.setPen(palette().text().color());
    const int x0 = kMarginPx - horizontalScrollBar()->value();
    const int first = first_visible_row();
    const int last = std::min(rows(), first + visible_rows() + 1);
    for (int row = first; row < last; ++row) {
        const int y = kMarginPx + (row - first) * row_height();
        paint_side(p, left_, row, x0, y);
        if (!right_.isEmpty()) paint_side(p, right_, row, x0 + side_width() * char_width(), y);
    }
}

// The highlights behind the differing bytes first, then the row's text in one call.
void Hex_view::paint_side(QPainter& p, const QByteArray& image, int row, int x, int y) const {
    const int cw = char_width();
    for (int i = 0; i < kBytesPerRow; ++i) {
        const int at = row * kBytesPerRow + i;
        if (!differs_at(at)) continue;
        const bool current = at >= current_start_ && at < current_start_ + current_length_;
        const QColor color = current ? kCurrent : kDifferent;
        p.fillRect(x + (kHexStart + 3 * i) * cw, y, 2 * cw, row_height(), color);
        p.fillRect(x + (kCharStart + i) * cw, y, cw, row_height(), color);
    }
    p.drawText(QRect(x, y, kSideChars * cw, row_height()), Qt::AlignLeft | Qt::AlignVCenter,
               row_text(image, row));
}
