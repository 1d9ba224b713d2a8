#include "app/backup_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/hex_view.h"
#include "app/vimbo_form.h"
#include "eeprom/hex_digits.h"
#include "eeprom/image_file.h"

namespace {
const QString kPickFirst = QStringLiteral("Compare with...");

QString counted(int n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// Key presses the window acts on itself, whichever of its widgets has the focus.
class F3_keys : public QObject {
  public:
    explicit F3_keys(Backup_window& window) : QObject(&window), window_(window) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_F3) return false;
        if (key->modifiers().testFlag(Qt::ShiftModifier)) {
            window_.previous_difference();
        } else {
            window_.next_difference();
        }
        return true;
    }

  private:
    Backup_window& window_;
};
}  // namespace

Backup_window::Backup_window(Vimbo_form& form) : QDialog(&form), f_(form) {
    setObjectName(QStringLiteral("backup_window"));
    setModal(false);
    left_label_ = new QLabel(this);
    right_label_ = new QLabel(this);
    for (QLabel* l : {left_label_, right_label_}) {
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    pick_ = new QComboBox(this);
    pick_->setToolTip(QStringLiteral("Pick a second backup to compare with this one."));
    view_ = new Hex_view(this);
    count_ = new QLabel(this);
    position_ = new QLabel(this);
    previous_ = new QPushButton(QStringLiteral("Previous (Shift+F3)"), this);
    next_ = new QPushButton(QStringLiteral("Next difference (F3)"), this);
    save_ = new QPushButton(QStringLiteral("Save board as backup..."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {previous_, next_, save_, close}) b->setAutoDefault(false);

    auto* sides = new QHBoxLayout;
    sides->addWidget(left_label_, 1);
    sides->addWidget(right_label_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_, 1);
    buttons->addWidget(position_, 1);
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addWidget(save_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(pick_);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);

    auto* keys = new F3_keys(*this);
    installEventFilter(keys);
    view_->installEventFilter(keys);
    f_.on(previous_, &QPushButton::clicked, [this] { previous_difference(); });
    f_.on(next_, &QPushButton::clicked, [this] { next_difference(); });
    f_.on(save_, &QPushButton::clicked, [this] { save_board(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    f_.on(pick_, &QComboBox::activated, [this](int index) {
        if (index > 0) compare_with(QDir::current().filePath(pick_->itemText(index)));
    });
}

Backup_window::~Backup_window() = default;

Backup_window::Side Backup_window::side_of(const Backup_file& backup) {
    Side side;
    side.name = QFileInfo(backup.name).fileName();
    side.bytes = backup.image.bytes;
    const eep::Image_trailer& t = backup.image.trailer;
    for (const QString& line : {t.model_line, t.size_line, t.date_line}) {
        if (!line.isEmpty()) side.about << line;
    }
    side.about << counted(int(side.bytes.size()), "byte", "bytes") +
                      QStringLiteral(" in the records");
    if (!backup.sound()) side.about << QStringLiteral("Not sound: ") + backup.fault();
    return side;
}

void Backup_window::show_backup(const QString& file) {
    left_file_ = load_backup(file);
    left_ = side_of(left_file_);
    right_ = Side{};
    right_is_board_ = false;
    fill_pick();
    show_sides();
}

void Backup_window::compare_with(const QString& file) {
    right_ = side_of(load_backup(file));
    right_is_board_ = false;
    show_sides();
}

void Backup_window::show_board(const Backup_file& backup, const QByteArray& board) {
    left_file_ = backup;
    left_ = side_of(backup);
    right_ = Side{};
    right_.name = QStringLiteral("Board");
    right_.bytes = board;
    if (const eep::Model* model = backup.image.model) {
        right_.about << QLatin1String(model->mcu_line);
    }
    right_.about << counted(int(board.size()), "byte", "bytes") + QStringLiteral(" read at ") +
                        QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat);
    right_is_board_ = true;
    fill_pick();
    show_sides();
}

// The folder's files, as the file list shows them.
void Backup_window::fill_pick() {
    pick_->clear();
    pick_->addItem(kPickFirst);
    pick_->addItems(QDir::current().entryList(QDir::Files, QDir::Name));
}

void Backup_window::show_sides() {
    const bool pair = !right_.name.isEmpty();
    diff_ = pair ? eep::diff_images(left_.bytes, right_.bytes) : eep::Image_diff{};
    view_->set_images(left_.bytes, right_.bytes);
    left_label_->setText(side_text(false));
    right_label_->setText(side_text(true));
    right_label_->setVisible(pair);
    save_->setVisible(right_is_board_);
    previous_->setEnabled(!diff_.same());
    next_->setEnabled(!diff_.same());
    count_->setText(count_text());
    setWindowTitle(QStringLiteral("VIMBO backup: ") + left_.name +
                   (pair ? QStringLiteral(" against ") + right_.name : QString()));
    current_ = -1;
    if (!diff_.same()) {
        go_to(0);
    } else {
        view_->set_current(0, 0);
        position_->setText(position_text());
    }
    resize(sizeHint().expandedTo(size()));
}

QString Backup_window::side_text(bool right) const {
    const Side& side = right ? right_ : left_;
    return (QStringList{side.name} + side.about).join(QLatin1Char('\n'));
}

QString Backup_window::count_text() const {
    if (right_.name.isEmpty()) return counted(int(left_.bytes.size()), "byte", "bytes");
    if (diff_.same()) {
        return QStringLiteral("No difference: ") + counted(diff_.compared, "byte", "bytes") +
               QStringLiteral(" identical");
    }
    return counted(diff_.bytes, "byte differs", "bytes differ") + QStringLiteral(" in ") +
           counted(diff_.records, "record", "records") + QStringLiteral(" (") +
           counted(int(diff_.runs.size()), "run", "runs") + QLatin1Char(')');
}

QString Backup_window::position_text() const {
    if (current_ < 0) return {};
    const eep::Diff_run& run = diff_.runs[std::size_t(current_)];
    QString where = eep::hex_text(run.start, 4);
    if (run.length > 1) where += QLatin1Char('-') + eep::hex_text(run.start + run.length - 1, 4);
    return QStringLiteral("Difference %1 of %2 at ").arg(current_ + 1).arg(diff_.runs.size()) +
           where;
}

void Backup_window::go_to(int index) {
    current_ = index;
    const eep::Diff_run& run = diff_.runs[std::size_t(index)];
    view_->set_current(run.start, run.length);
    position_->setText(position_text());
}

// Both wrap around, so that every difference can be reached from any one.
void Backup_window::next_difference() {
    if (diff_.runs.empty()) return;
    go_to(current_ + 1 < int(diff_.runs.size()) ? current_ + 1 : 0);
}

void Backup_window::previous_difference() {
    if (diff_.runs.empty()) return;
    go_to(current_ > 0 ? current_ - 1 : int(diff_.runs.size()) - 1);
}

void Backup_window::save_board() {
    const eep::Model* model = left_file_.image.model;
    if (!right_is_board_ || !model) return;
    const QString suggested =
        QFileInfo(left_file_.name).fileName().left(4) + QStringLiteral("board.eep");
    const QString name = f_.dialogs().input_box(
        QStringLiteral("Save what was read from the board as a backup.\r\nThe name begins with ") +
            QLatin1String(model->prefix) + QStringLiteral(", the board's microcontroller type."),
        QStringLiteral("Save the board's EEPROM..."), suggested);
    f_.pump.check_ending();
    if (name.isEmpty()) return;
    if (eep::model_for_name(QFileInfo(name).fileName()) != model) {
        f_.log(QStringLiteral("Board EEPROM not saved: the name must begin with ") +
               QLatin1String(model->prefix) + QStringLiteral("."));
        return;
    }
    Image_file image(f_.files, name);
    bool saved = image.create();
    for (const QString& line :
         backup_lines(*model, right_.bytes, QDateTime::currentDateTime(), QLocale::system())) {
        saved = saved && image.write_line(line);
    }
    saved = saved && image.commit();
    f_.log(saved ? QStringLiteral("Board EEPROM saved to; ") + name
                 : QStringLiteral("Board EEPROM not saved: ") + name +
                       QStringLiteral(" cannot be written."));
}
