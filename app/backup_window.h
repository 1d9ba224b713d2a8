#pragma once
#include <QByteArray>
#include <QDialog>
#include <QString>

#include "eeprom/backup_file.h"
#include "eeprom/image_diff.h"

class QComboBox;
class QLabel;
class QPushButton;
class Hex_view;
class Vimbo_form;

// The backup window: one backup, or a backup against the board (after a compare) or
// against a second backup picked in the window. Rows of 16 bytes with the differing bytes
// highlighted on both sides, the count of differences, next / previous difference (F3 and
// Shift+F3, or the buttons), and what each backup's trailer says. After a compare it can
// save what was read from the board as a backup, written as Read EEP writes one.
class Backup_window : public QDialog {
    Q_OBJECT
  public:
    explicit Backup_window(Vimbo_form& form);
    ~Backup_window() override;

    // One backup alone; the pick list offers the folder's files to compare it with.
    void show_backup(const QString& file);
    // The shown backup against another file.
    void compare_with(const QString& file);
    // A backup against the bytes read from the board.
    void show_board(const Backup_file& backup, const QByteArray& board);

    const eep::Image_diff& diff() const { return diff_; }
    // The current difference (an index into diff().runs), -1 when there is none.
    int current() const { return current_; }
    void next_difference();
    void previous_difference();
    // Asks for a name and saves the board's bytes there as a backup.
    void save_board();

    QString count_text() const;
    QString position_text() const;
    QString side_text(bool right) const;
    Hex_view* view() const { return view_; }
    QComboBox* pick() const { return pick_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* previous_button() const { return previous_; }
    QPushButton* save_button() const { return save_; }

  private:
    struct Side {
        QString name;  // shown above its bytes
        QByteArray bytes;
        QStringList about;  // model, size and date lines, or what is wrong
    };
    static Side side_of(const Backup_file& backup);
    void fill_pick();
    void show_sides();
    void go_to(int index);

    Vimbo_form& f_;
    Backup_file left_file_;
    Side left_;
    Side right_;
    bool right_is_board_ = false;
    eep::Image_diff diff_;
    int current_ = -1;

    QLabel* left_label_ = nullptr;
    QLabel* right_label_ = nullptr;
    QComboBox* pick_ = nullptr;
    Hex_view* view_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* position_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* save_ = nullptr;
};
