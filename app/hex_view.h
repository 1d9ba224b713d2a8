#pragma once
#include <QAbstractScrollArea>
#include <QByteArray>
#include <QString>
#include <vector>

// One or two EEPROM images side by side, 16 bytes a row: the address, the bytes in
// hexadecimal and their printable characters. Bytes that differ between the two sides are
// highlighted on both; the current difference stands out more. Only the rows in sight are
// painted, so a 4096-byte pair costs no more than a small one.
class Hex_view : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit Hex_view(QWidget* parent = nullptr);

    // right may be empty: one image alone, no differences.
    void set_images(const QByteArray& left, const QByteArray& right);
    bool differs_at(int address) const;
    int rows() const;
    // The run of differing bytes shown as the current one (start, length); length 0: none.
    void set_current(int start, int length);
    // Scrolls so that the row of this address is in sight.
    void show_address(int address);
    int first_visible_row() const;
    int visible_rows() const;

    // The text of one side's row as painted: "0120  5A 00 ... 0F  Z..............".
    static QString row_text(const QByteArray& image, int row);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void paint_side(QPainter& p, const QByteArray& image, int row, int x, int y) const;
    void update_scroll_range();
    int row_height() const;
    int char_width() const;
    int side_width() const;  // in characters, with the gap after it

    QByteArray left_;
    QByteArray right_;
    std::vector<bool> differs_;
    int current_start_ = 0;
    int current_length_ = 0;
};
