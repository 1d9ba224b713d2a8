#pragma once
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/glyph_strip.h"
#include "serial/event_services.h"

// The window's control kinds: the look the handlers set (caption, back colour) and the
// events they handle (click, double click, key press with its code, mouse-down with its
// button).

// How often a picture that follows a fast stream (the log, the receive indicator) is
// brought up to date: 25 times a second.
constexpr int kStreamRepaintMs = 40;
// The hint line during a stream: a new face at most 25 times a second, and a change that
// no later change followed shows at the latest this long after the last face.
constexpr int kHintFaceMs = kStreamRepaintMs;
constexpr int kHintCatchUpMs = 100;

// A push button whose face colour can be set. An invalid colour is the normal button face.
class Vb_button : public QPushButton {
    Q_OBJECT
  public:
    explicit Vb_button(QWidget* parent = nullptr);
    void set_back_color(const QColor& color);
    QColor back_color() const { return back_color_; }
    bool has_normal_face() const { return !back_color_.isValid(); }
    // The caption as the handlers set and read it.
    QString caption() const { return pending_caption_ ? *pending_caption_ : text(); }
    void set_caption(const QString& caption);
    // For a caption that may change with every received line: the caption changes at once,
    // the face shows it at the next repaint tick, so changes that cancel out before the
    // tick cost nothing. Such a button's caption is set with set_caption() only.
    void repaint_caption_in_ticks();

  signals:
    void mouse_down(Qt::MouseButton button);

  protected:
    void mousePressEvent(QMouseEvent* e) override;

  private:
    void show_caption();
    QColor back_color_;
    std::unique_ptr<QTimer> caption_tick_;
    std::optional<QString> pending_caption_;  // set, not yet on the face
};

// A one-line text box.
class Vb_text_box : public QLineEdit {
    Q_OBJECT
  public:
    explicit Vb_text_box(QWidget* parent = nullptr);
    void set_back_color(const QColor& color);
    QColor back_color() const { return palette().color(QPalette::Base); }

  signals:
    void clicked();
    void double_clicked();
    void key_pressed(int key_code);
    void mouse_down(Qt::MouseButton button);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

// A multi-line text box. Its text uses CR LF between lines, as on the wire.
class Vb_memo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit Vb_memo(QWidget* parent = nullptr);
    QString text() const;
    void set_text(const QString& text);
    void append_text(const QString& text);
    void set_back_color(const QColor& color);
    QColor back_color() const { return palette().color(QPalette::Base); }

  signals:
    void double_clicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The files of one folder; its folder and picked name are readable, it can be refreshed.
class File_list : public QListWidget {
    Q_OBJECT
  public:
    explicit File_list(QWidget* parent = nullptr);
    QString path() const;  // the folder shown, without a trailing separator
    void refresh();
    QString picked_name() const;

  signals:
    void double_clicked();
    void mouse_down(Qt::MouseButton button);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The hint line: a label whose background can show progress from the left. The base
// colour is a style sheet, painted once into a picture that every paint reuses; the fill
// and the text are painted over it. Once given a clock (repaint_in_ticks), changes reach
// the face at most once per kHintFaceMs, and only when the text or the filled width
// changed: an upload sends its lines faster than that. A change within that time shows with
// the next change after it, or at the latest kHintCatchUpMs after the last face. Once a
// face composed from glyph pictures has matched the painter's drawing of it, faces of that
// look are composed: an upload's line costs a copy instead of a layout and a blend.
class Hint_line : public QLabel {
    Q_OBJECT
  public:
    explicit Hint_line(QWidget* parent = nullptr);
    ~Hint_line() override;
    void set_back_color(const QColor& color);
    QColor back_color() const { return back_color_; }
    // The base colour darker by a quarter, in 8 bits a channel as it is painted.
    QColor fill_color() const { return QColor(back_color_.darker(125).rgb()); }
    // The text as the handlers set and read it; the face may show it a tick later.
    void set_text(const QString& text);
    QString hint_text() const { return text_; }
    // Fills this share (0..1) of the background from the left; a negative share ends it,
    // at once.
    void set_progress(double share);
    double progress() const { return progress_; }
    void repaint_in_ticks(Event_services& events);
    int composed_faces() const { return composed_faces_; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    int filled_width_for(double share) const;
    void changed();
    void show_now();
    void paint_background();
    void draw_text(QPainter& painter, int filled, const QColor& pen);
    QImage* composable_target(const QPainter& painter, const QPaintEvent& e, QPoint& at) const;
    QColor back_color_;
    QString text_;
    double progress_ = -1;
    double shown_progress_ = -1;        // the share the face shows
    QPixmap background_;                // the style sheet's painting, empty when out of date
    std::optional<QColor> plain_back_;  // its one colour, when it is one
    Glyph_strip strip_;
    int composed_faces_ = 0;
    Event_services* events_ = nullptr;
    std::unique_ptr<Window_timer> tick_;
    std::int64_t shown_at_ms_ = -kHintFaceMs;
    bool show_posted_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
