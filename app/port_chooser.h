#pragma once
#include <QDialog>
#include <vector>

#include "serial/port_rows.h"

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// The small window of a right click on "Com/usb": the serial ports that exist now, one row
// each, and the COM number a pick links to. Picking is a double click on a row or [Use].
class Port_chooser : public QDialog {
    Q_OBJECT
  public:
    explicit Port_chooser(QWidget* parent);

    // Shows these rows; the selected device stays selected. Unchanged rows cost nothing.
    void show_rows(const std::vector<Port_row>& rows);
    const std::vector<Port_row>& rows() const { return rows_; }
    // The row of the selected device, or -1.
    int selected_row() const;
    void select_row(int row);
    int com_number() const;
    void set_com_number(int n);
    void show_message(const QString& text);
    QString message() const;

    QTableWidget* table() const { return table_; }
    QPushButton* use_button() const { return use_; }

    static constexpr int kColumns = 8;

  signals:
    void pick_requested();
    void hidden();

  protected:
    void hideEvent(QHideEvent* e) override;

  private:
    QTableWidget* table_ = nullptr;
    QSpinBox* com_ = nullptr;
    QPushButton* use_ = nullptr;
    QLabel* message_ = nullptr;
    std::vector<Port_row> rows_;
};
