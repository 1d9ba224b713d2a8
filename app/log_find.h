#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class Line_list;

// The log's find window (Ctrl+F): a search that follows each typed character, the next
// and the previous match (F3, Shift+F3, also Enter and Shift+Enter), going round the ends
// of the log. The found line is selected and scrolled into view; the window says when the
// search went round an end and when nothing holds the text ("not found").
class Log_find : public QWidget {
    Q_OBJECT
  public:
    Log_find(Line_list& log, QWidget* owner);

    // Shows the window with its text selected; the search starts at the log's selection.
    void begin();
    void next() { step(true); }
    void previous() { step(false); }
    QLineEdit* field() { return field_; }
    QString status() const { return status_->text(); }

    static const QString kNotFound;

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void typed();
    void step(bool forward);
    void show_row(int from, bool forward);

    Line_list& log_;
    QLineEdit* field_;
    QLabel* status_;
    int typed_from_ = 0;  // where the search of the text being typed starts
};
