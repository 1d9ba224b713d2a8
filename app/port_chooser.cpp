#include "app/port_chooser.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QStringList cells(const Port_row& row) {
    QStringList numbers;
    for (int n : row.com_numbers) numbers << QString::number(n);
    return {numbers.join(QStringLiteral(", ")),
            row.info.device,
            row.info.description,
            row.info.manufacturer,
            row.info.usb_id,
            row.info.serial_number,
            row.info.stable_name,
            row.in_use};
}
}  // namespace

Port_chooser::Port_chooser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Port_chooser"));
    setWindowTitle(QStringLiteral("Serial ports"));
    table_ = new QTableWidget(0, kColumns, this);
    table_->setHorizontalHeaderLabels({"COM", "Device", "Description", "Maker", "USB id",
                                       "Serial number", "Stable name", "In use"});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    com_ = new QSpinBox(this);
    com_->setRange(1, 16);
    com_->setPrefix(QStringLiteral("COM "));
    use_ = new QPushButton(QStringLiteral("Use"), this);
    use_->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    message_ = new QLabel(this);
    message_->setWordWrap(true);

    auto* pick_row = new QHBoxLayout;
#ifdef Q_OS_WIN
    com_->hide();  // COMn is COM n itself
    pick_row->addWidget(new QLabel(QStringLiteral("Pick the converter:"), this));
#else
    pick_row->addWidget(new QLabel(QStringLiteral("Link the picked port as"), this));
    pick_row->addWidget(com_);
#endif
    pick_row->addStretch();
    pick_row->addWidget(use_);
    pick_row->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(pick_row);
    layout->addWidget(message_);
    resize(760, 260);

    connect(use_, &QPushButton::clicked, this, &Port_chooser::pick_requested);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &Port_chooser::pick_requested);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

// Only what changed is touched: a converter plugged in or out inserts or removes its row,
// the rows before and after it stay as they are.
void Port_chooser::show_rows(const std::vector<Port_row>& rows) {
    if (rows == rows_) return;
    const int selected = selected_row();
    const QString device = selected >= 0 ? rows_[std::size_t(selected)].info.device : QString();
    const std::size_t old_count = rows_.size();
    std::size_t head = 0;
    while (head < old_count && head < rows.size() && rows_[head] == rows[head]) ++head;
    const std::size_t room = std::min(old_count, rows.size()) - head;
    std::size_t tail = 0;
    while (tail < room && rows_[old_count - 1 - tail] == rows[rows.size() - 1 - tail]) ++tail;
    const int changed_old = int(old_count - head - tail);
    const int changed_new = int(rows.size() - head - tail);
    for (int i = changed_new; i < changed_old; ++i) table_->removeRow(int(head));
    for (int i = changed_old; i < changed_new; ++i) table_->insertRow(int(head));
    rows_ = rows;
    for (int r = int(head); r < int(head) + changed_new; ++r) {
        const QStringList texts = cells(rows_[std::size_t(r)]);
        for (int c = 0; c < kColumns; ++c) {
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) {
                table_->setItem(r, c, new QTableWidgetItem(texts[c]));
            } else if (item->text() != texts[c]) {
                item->setText(texts[c]);
            }
        }
    }
    int reselect = -1;
    for (int r = 0; r < int(rows_.size()) && !device.isEmpty(); ++r) {
        if (rows_[std::size_t(r)].info.device == device) reselect = r;
    }
    if (reselect != selected) select_row(reselect);
}

int Port_chooser::selected_row() const {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    if (ranges.isEmpty()) return -1;
    const int row = ranges.first().topRow();
    return row < int(rows_.size()) ? row : -1;
}

void Port_chooser::select_row(int row) {
    if (row < 0) {
        table_->clearSelection();
        return;
    }
    table_->selectRow(row);
}

int Port_chooser::com_number() const {
    return com_->value();
}

void Port_chooser::set_com_number(int n) {
    com_->setValue(n);
}

void Port_chooser::show_message(const QString& text) {
    message_->setText(text);
}

QString Port_chooser::message() const {
    return message_->text();
}

void Port_chooser::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    emit hidden();
}
