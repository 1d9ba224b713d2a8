#include "app/controls.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/key_codes.h"

namespace {
QString rgb(const QColor& c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

void set_base_color(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    w->setPalette(p);
}
}  // namespace

Vb_button::Vb_button(QWidget* parent) : QPushButton(parent) {}

void Vb_button::repaint_caption_in_ticks() {
    if (caption_tick_) return;
    caption_tick_ = std::make_unique<QTimer>();
    caption_tick_->setSingleShot(true);
    caption_tick_->setInterval(kStreamRepaintMs);
    connect(caption_tick_.get(), &QTimer::timeout, this, [this] { show_caption(); });
}

void Vb_button::set_caption(const QString& caption) {
    if (!caption_tick_) {
        setText(caption);
        return;
    }
    if (caption == text()) {
        // The face shows it already; no tick is needed to wake the loop for nothing.
        pending_caption_.reset();
        caption_tick_->stop();
        return;
    }
    pending_caption_ = caption;
    if (!caption_tick_->isActive()) caption_tick_->start();
}

void Vb_button::show_caption() {
    if (!pending_caption_) return;
    setText(*std::exchange(pending_caption_, std::nullopt));
}

void Vb_button::set_back_color(const QColor& color) {
    back_color_ = color;
    // A style sheet really paints the face, whatever the platform style does with palettes.
    setStyleSheet(color.isValid()
                      ? QStringLiteral("QPushButton { background-color: %1; border: 1px "
                                       "solid #606060; border-radius: 2px; }")
                            .arg(rgb(color))
                      : QString());
}

void Vb_button::mousePressEvent(QMouseEvent* e) {
    emit mouse_down(e->button());
    QPushButton::mousePressEvent(e);
}

Vb_text_box::Vb_text_box(QWidget* parent) : QLineEdit(parent) {}

void Vb_text_box::set_back_color(const QColor& color) {
    set_base_color(this, color);
}

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

void Vb_memo::set_back_color(const QColor& color) {
    set_base_color(this, color);
}

void Vb_memo::mouseDoubleClickEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) emit double_clicked();
}

File_list::File_list(QWidget* parent) : QListWidget(parent) {
    refresh();
}

QString File_list::path() const {
    return QDir::toNativeSeparators(QDir::currentPath());
}

void File_list::refresh() {
    clear();
    const QStringList names = QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System,
                                                        QDir::Name | QDir::IgnoreCase);
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

Hint_line::Hint_line(QWidget* parent) : QLabel(parent) {
    // Every paint covers the whole line, so nothing is painted under it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Hint_line::~Hint_line() {
    *alive_ = false;
}

void Hint_line::set_back_color(const QColor& color) {
    if (color == back_color_ && !styleSheet().isEmpty()) return;
    back_color_ = color;
    setStyleSheet(QStringLiteral("QLabel { background-color: %1; }").arg(rgb(color)));
    background_ = QPixmap();
    update();
}

void Hint_line::repaint_in_ticks(Event_services& events) {
    events_ = &events;
    tick_ = events.make_repaint_timer([this] {
        tick_->set_enabled(false);
        show_now();
    });
}

void Hint_line::set_text(const QString& text) {
    text_ = text;
    changed();
}

void Hint_line::set_progress(double share) {
    progress_ = share < 0 ? -1 : std::min(share, 1.0);
    if (progress_ < 0 && tick_) tick_->set_enabled(false);
    if (progress_ < 0 || !tick_) {
        show_now();
        return;
    }
    changed();
}

// A change reaches the face on the loop's next turn when the face is a tick old. A change
// within the tick waits for the next change after it, which a stream brings before long,
// so a stream's faces cost no wake-up of their own; only when no change follows does the
// catch-up timer show it.
void Hint_line::changed() {
    if (!tick_) {
        show_now();
        return;
    }
    if (show_posted_) return;
    if (text() == text_ && filled_width_for(progress_) == filled_width_for(shown_progress_)) {
        shown_progress_ = progress_;
        tick_->set_enabled(false);
        return;  // the face shows it already
    }
    const std::int64_t since = events_->now_ms() - shown_at_ms_;
    if (since >= kHintFaceMs) {
        // On the loop's next turn, so that a text and its step of the fill set by one
        // handler come in one picture.
        tick_->set_enabled(false);
        show_posted_ = true;
        events_->post([this, alive = alive_] {
            if (!*alive) return;
            show_posted_ = false;
            show_now();
        });
        return;
    }
    if (tick_->enabled()) return;
    tick_->set_interval(int(kHintCatchUpMs - since));
    tick_->set_enabled(true);
}

void Hint_line::show_now() {
    const bool new_text = text() != text_;
    const bool new_fill = filled_width_for(progress_) != filled_width_for(shown_progress_);
    shown_progress_ = progress_;
    if (!new_text && !new_fill) return;
    if (new_text) {
        setText(text_);  // and repaints
    } else {
        update();
    }
    if (events_) shown_at_ms_ = events_->now_ms();
}

int Hint_line::filled_width_for(double share) const {
    if (share <= 0) return 0;
    return int(std::clamp<long>(std::lround(share * width()), 0, width()));
}

void Hint_line::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    background_ = QPixmap();
}

void Hint_line::changeEvent(QEvent* e) {
    QLabel::changeEvent(e);
    if (e->type() == QEvent::StyleChange || e->type() == QEvent::PaletteChange) {
        background_ = QPixmap();
    }
}

// The background as the style sheet paints it, kept until the colour, the style or the
// size changes.
void Hint_line::paint_background() {
    const qreal ratio = devicePixelRatioF();
    background_ = QPixmap(size() * ratio);
    background_.setDevicePixelRatio(ratio);
    background_.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&background_);
        QStyleOption option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    }
    const QImage picture = background_.toImage();
    plain_back_ = picture.isNull() ? std::nullopt : std::optional(QColor(picture.pixel(0, 0)));
    for (int y = 0; plain_back_ && y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != plain_back_->rgb()) {
                plain_back_.reset();
                break;
            }
        }
    }
}

// The picture the painter draws into, when a composed face can stand in for its drawing:
// a plain 32-bit image, reached by whole pixels, with the whole line to be painted.
QImage* Hint_line::composable_target(const QPainter& painter, const QPaintEvent& e,
                                     QPoint& at) const {
    QPaintEngine* engine = painter.paintEngine();
    auto* target = engine ? dynamic_cast<QImage*>(engine->paintDevice()) : nullptr;
    const QTransform to_target = painter.deviceTransform();
    at = QPoint(int(std::lround(to_target.dx())), int(std::lround(to_target.dy())));
    const bool whole = to_target.type() <= QTransform::TxTranslate &&
                       QPointF(at) == to_target.map(QPointF(0, 0)) &&
                       (QRegion(rect()) - e.region()).isEmpty();
    const bool plain = plain_back_ && contentsRect() == rect() && devicePixelRatioF() == 1 &&
                       alignment() == (Qt::AlignLeft | Qt::AlignVCenter) &&
                       layoutDirection() == Qt::LeftToRight;
    if (!target || !whole || !plain || !target->rect().contains(QRect(at, size()))) {
        return nullptr;
    }
    return target;
}

// The fill, then the text as a plain-text label draws it, over the background.
void Hint_line::draw_text(QPainter& painter, int filled, const QColor& pen) {
    painter.drawPixmap(0, 0, background_);
    if (filled > 0) painter.fillRect(QRect(0, 0, filled, height()), fill_color());
    painter.setPen(pen);
    painter.drawText(contentsRect(), int(alignment()), text());
}

void Hint_line::paintEvent(QPaintEvent* e) {
    if (background_.isNull()) paint_background();
    QPainter painter(this);
    const int filled = filled_width_for(shown_progress_);
    const QColor pen =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole());
    QPoint at;
    QImage* target = composable_target(painter, *e, at);
    if (!target) {
        draw_text(painter, filled, pen);
        return;
    }
    strip_.set_look({font(), pen, *plain_back_, fill_color(), size(), target->format(),
                     logicalDpiX(), logicalDpiY()});
    if (!strip_.compose(text(), filled)) {
        draw_text(painter, filled, pen);
        return;
    }
    if (strip_.proof() != Glyph_strip::Proof::held) {
        draw_text(painter, filled, pen);
        strip_.prove(target->copy(QRect(at, size())));
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, strip_.picture());
    ++composed_faces_;
}
