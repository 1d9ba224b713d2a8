#pragma once
#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QStaticText>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

// The lines of a list box, kept as 8-bit text in one buffer: the log grows without limit,
// so each line costs its characters, one offset and its arrival time.
class Line_store {
  public:
    void append(const QString& line, std::int64_t arrived_ms = 0);
    void clear();
    QString line(int row) const;
    std::string_view bytes(int row) const;  // the line's 8-bit text, in place
    std::int64_t arrived_ms(int row) const { return times_[std::size_t(row)]; }
    int count() const { return int(ends_.size()); }
    int longest() const { return longest_; }
    std::size_t bytes_held() const {
        return text_.capacity() + ends_.capacity() * sizeof(qint64) +
               times_.capacity() * sizeof(std::int64_t);
    }

  private:
    std::vector<char> text_;
    std::vector<qint64> ends_;
    std::vector<std::int64_t> times_;
    int longest_ = 0;
};

// A list box with uniform rows, painted directly so that an append, a selection and a
// scroll cost the same whatever the length of the list: add, clear, count, select,
// selected text; click, double click, key press with its key code and mouse-down with
// its button.
class Line_list : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit Line_list(QWidget* parent = nullptr);
    void add_item(const QString& line);
    void clear_items();
    int count() const { return store_.count(); }
    QString item(int row) const { return store_.line(row); }
    int selected_index() const { return selected_; }
    // Selects the row and scrolls it into view; -1 clears the selection.
    void set_selected_index(int row);
    QString selected_text() const { return selected_ < 0 ? QString() : store_.line(selected_); }
    int top_row() const;
    // Brings the scroll bars and the view up to date now (normally done a little later).
    void refresh_now() { refresh(); }
    int row_at(int y) const;
    const Line_store& store() const { return store_; }

    // Each line's arrival time (ms since the epoch) comes from this clock; none: no times.
    std::function<std::int64_t()> arrival_clock;
    // Shows each line's local arrival time, to the millisecond, in front of it.
    void set_show_times(bool on);
    bool show_times() const { return show_times_; }
    // The row as it is shown, with its time when times are shown.
    QString shown_text(int row) const;

  signals:
    void clicked_item();
    void double_clicked();
    void key_pressed(int key_code);
    void mouse_down(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    int row_height() const;
    int visible_rows() const;
    void update_scroll_ranges();
    void scroll_to_selection();
    void move_selection_by_key(int row);
    // Appends come in floods from the serial line: the scroll bars and the picture are
    // brought up to date at most 25 times a second, not after every line. After a quiet
    // spell the refresh comes on the event loop's next turn, so that it is painted in one
    // picture with whatever else changed meanwhile (a record's hint and progress).
    void schedule_refresh();
    void refresh();
    void update_row(int row);

    Line_store store_;
    bool show_times_ = false;
    int selected_ = -1;
    QTimer refresh_timer_;
    QElapsedTimer since_refresh_;
    bool refresh_posted_ = false;
    int painted_count_ = 0;      // rows that existed at the last refresh
    int painted_selected_ = -1;  // the selection at the last refresh
    // Laid-out text of the rows last painted: a scroll by a line re-lays out one row.
    std::unordered_map<int, QStaticText> painted_rows_;
};
