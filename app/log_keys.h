#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class Vimbo_form;
class Log_find;

// The log's keys while it has the focus: Ctrl+F find (F3, Shift+F3 next and previous),
// Ctrl+C copy the selected line, Ctrl+Shift+C copy the whole log, Ctrl+S save the log as a
// text file, Ctrl+T show or hide the arrival times, Ctrl+plus / Ctrl+minus / Ctrl+0 a
// larger, smaller, normal font (remembered for the user). The mouse on the log keeps its
// own actions.
class Log_keys : public QObject {
    Q_OBJECT
  public:
    explicit Log_keys(Vimbo_form& form);
    ~Log_keys() override;

    void find();
    void find_next(bool forward);
    void copy_line();
    void copy_log();
    void save_log();
    void switch_times();
    void set_font_points(int points);
    int font_points() const;

    Log_find& find_window() { return *find_; }
    // Asks where to save, proposing a name; an empty answer does not save. The program
    // asks with a file dialog, tests answer as scripted.
    std::function<QString(const QString& proposed)> ask_save_name;

    static constexpr int kSmallestPoints = 6;
    static constexpr int kLargestPoints = 32;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    bool key(int key, Qt::KeyboardModifiers modifiers);
    void show_font_points(int points);
    QString log_text(const QString& line_end) const;

    Vimbo_form& f_;
    std::unique_ptr<Log_find> find_;
    int normal_points_ = 8;
};
