#include "app/board_compare.h"

#include <QFileInfo>

#include "app/backup_viewer.h"
#include "app/backup_window.h"
#include "app/form_transfer_view.h"
#include "app/vimbo_form.h"
#include "base/colors.h"
#include "eeprom/backup_file.h"
#include "eeprom/image_diff.h"
#include "eeprom/memory_sink.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "transfer/transfer_buttons.h"
#include "upload/write_check.h"

using namespace transfer_buttons;

namespace {
constexpr Transfer_button kOwn = Transfer_button::write_eeprom;
}  // namespace

Board_compare::Board_compare(Vimbo_form& form)
    : f_(form), link_(form_transfer_link(form)), dump_(link_, form.transfer_view(), kOwn) {
    f_.on(f_.Cmd_write_eeprom, &Vb_button::mouse_down,
          [this](Qt::MouseButton button) { Cmd_write_eeprom_MouseDown(button); });
    // A left click on the busy button stops a running compare (the start command, which
    // runs first, finds it busy and only asks for a stop).
    f_.on(f_.Cmd_write_eeprom, &QPushButton::clicked, [this] { stop_running_compare(); });
}

QString Board_compare::refusal(const QString& fault) {
    return QStringLiteral("Compare refused: ") + fault;
}

QString Board_compare::no_result(const QString& file) {
    return QStringLiteral("Compare with ") + QFileInfo(file).fileName() +
           QStringLiteral(" stopped: no result.");
}

void Board_compare::Cmd_write_eeprom_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    if (running_) {
        stop_running_compare();
        return;
    }
    Transfer_view& view = f_.transfer_view();
    if (is_busy(view, kOwn) || another_is_busy(view, kOwn)) return;
    // The backup a left click would send now, checked as Write EEP checks it.
    const QString name = backup_to_write(f_.state.Eeprom_file, f_.state.Chosen_file);
    const Backup_file backup = name.isEmpty() ? Backup_file{} : load_backup(name);
    const QString fault = name.isEmpty() ? no_backup_named() : backup.fault();
    if (!fault.isEmpty()) {
        f_.log(refusal(fault));
        f_.set_title(refusal(fault));
        return;
    }
    run(backup);
}

// The dump stops at its next look at the button, which is idle from now on.
void Board_compare::stop_running_compare() {
    if (!running_) return;
    cancelled_ = true;
    make_idle(f_.transfer_view(), kOwn);
}

void Board_compare::run(const Backup_file& backup) {
    Transfer_view& view = f_.transfer_view();
    make_busy(view, kOwn, colors::kMagenta);
    view.set_hint(kPressInitializeHint);
    view.set_title(QStringLiteral("Comparing the board with ") + QFileInfo(backup.name).fileName());
    running_ = true;
    cancelled_ = false;
    Memory_sink board;
    try {
        dump_.run(*backup.image.model, board, Eeprom_dump::Silent_board::give_up);
    } catch (const Transfer_stopped& stop) {
        board.abandon();
        if (!stop.why.isEmpty()) view.log(stop.why);
        // A stop on the busy button tells the board to end its dump, as Read EEP's cancel.
        if (cancelled_ && link_.port.PortOpen()) {
            try {
                link_.port.Output(QString(QChar(board::kDumpCancel)));
            } catch (const Runtime_failure&) {
                // The compare has ended all the same.
            }
        }
        view.log(no_result(backup.name));
        view.set_title(no_result(backup.name));
        end();
        return;
    } catch (...) {
        end();
        throw;
    }
    const eep::Image_diff diff = eep::diff_images(backup.image.bytes, board.bytes());
    const QString verdict =
        eep::compare_verdict(backup.name, backup.image.bytes, board.bytes(), diff);
    view.log(verdict);
    view.set_title(verdict);
    end();
    if (!diff.same()) {
        Backup_window& w = f_.backup_viewer().window();
        w.show_board(backup, board.bytes());
        w.show();
        w.raise();
    }
}

void Board_compare::end() {
    running_ = false;
    cancelled_ = false;
    f_.state.Abort_request = false;
    Transfer_view& view = f_.transfer_view();
    view.select_last_log_line();
    view.set_progress(-1);
    make_idle(view, kOwn);
}
