#include "app/record_menu.h"

#include <QDir>
#include <QFileInfo>

#include "app/session_record.h"
#include "app/text_editor.h"
#include "app/user_prefs.h"
#include "app/vimbo_form.h"

const QString Record_menu::kTooltipTail = QStringLiteral(". Right: session record menu.");

Record_menu::Record_menu(Vimbo_form& form) : f_(form), menu_(std::make_unique<QMenu>(&form)) {
    menu_->setObjectName(QStringLiteral("record_menu"));
    open_today_ = menu_->addAction(QStringLiteral("Open today's record"));
    open_folder_ = menu_->addAction(QStringLiteral("Open the logs folder"));
    menu_->addSeparator();
    record_on_ = menu_->addAction(QStringLiteral("Session record on"));
    record_on_->setCheckable(true);
    QObject::connect(open_today_, &QAction::triggered, menu_.get(), [this] {
        f_.handle([this] { open_in_text_editor(f_.editor(), f_.record().today_file()); });
    });
    QObject::connect(open_folder_, &QAction::triggered, menu_.get(), [this] {
        f_.handle([this] { ::open_folder(f_.editor(), f_.record().folder()); });
    });
    // The item turns the record off when it is recording, else on (again).
    QObject::connect(record_on_, &QAction::triggered, menu_.get(),
                     [this] { f_.handle([this] { switch_record(!f_.record().recording()); }); });
    f_.on(f_.Cmd_reserve_1, &Vb_button::mouse_down,
          [this](Qt::MouseButton b) { Cmd_reserve_1_MouseDown(b); });
    f_.Cmd_reserve_1->setToolTip(f_.Cmd_reserve_1->toolTip() + kTooltipTail);
    update_items();
}

Record_menu::~Record_menu() = default;

void Record_menu::Cmd_reserve_1_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    update_items();
    menu_->popup(f_.Cmd_reserve_1->mapToGlobal(QPoint(0, f_.Cmd_reserve_1->height())));
}

// What can be opened is what is there now.
void Record_menu::update_items() {
    open_today_->setEnabled(QFileInfo(f_.record().today_file()).isFile());
    open_folder_->setEnabled(QFileInfo(f_.record().folder()).isDir());
    record_on_->setChecked(f_.record().recording());
}

void Record_menu::switch_record(bool on) {
    user_prefs::set_record_on(on);
    f_.record().set_on(on);
    update_items();
}
