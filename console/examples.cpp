#include "console/examples.h"

#include <QCoreApplication>
#include <QDir>

#include "app/key_codes.h"
#include "app/shipped_files.h"
#include "app/text_editor.h"
#include "app/vimbo_form.h"
#include "console/example_rows.h"
#include "console/sending.h"

namespace {}  // namespace

Examples::Examples(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_show_cmd_list, &QPushButton::clicked, [this] { Cmd_show_cmd_list_Click(); });
    f_.on(f_.Cmd_show_cmd_list, &Vb_button::mouse_down,
          [this](Qt::MouseButton b) { Cmd_show_cmd_list_MouseDown(b); });
    f_.on(f_.List_cmd_list, &Line_list::clicked_item, [this] { List_cmd_list_Click(); });
    f_.on(f_.List_cmd_list, &Line_list::double_clicked, [this] { List_cmd_list_DblClick(); });
    f_.on(f_.List_cmd_list, &Line_list::key_pressed, [this](int k) { List_cmd_list_KeyPress(k); });
}

bool Examples::list_shown() const {
    return !f_.List_cmd_list->isHidden();
}

void Examples::Cmd_show_cmd_list_Click() {
    if (list_shown()) {
        close_list();
    } else {
        open_list();
    }
}

void Examples::open_list() {
    Form_state& s = f_.state;
    s.Module_id = trim_blanks(f_.Text_module_Id->text());
    const QString name = examples_file_name(s.Module_id);
    f_.set_hint(QStringLiteral("Commands file; ") + name);
    // Only this file is closed again: a transfer running meanwhile keeps its own file.
    Tracked_file file(f_.files,
                      examples_file_to_read(name, QCoreApplication::applicationDirPath(), is_file));
    if (!file.open(QIODevice::ReadOnly)) {
        not_found(name);
        return;
    }
    f_.List_cmd_list->clear_items();
    const std::optional<QChar> digit = mode_digit_for(f_.Text_Cmd->back_color());
    if (!digit) return;  // no mode chosen yet: the list stays hidden
    const QByteArray content = file.readAll();
    for (const QString& row : list_rows(content, *digit)) f_.List_cmd_list->add_item(row);
    if (file.error() != QFileDevice::NoError) {
        file.close();
        not_found(name);
        return;
    }
    file.close();
    f_.setFixedWidth(f_.width() + f_.List_cmd_list->width());
    f_.List_cmd_list->show();
}

void Examples::close_list() {
    f_.setFixedWidth(f_.width() - f_.List_cmd_list->width());
    f_.List_cmd_list->hide();
    f_.List_cmd_list->clear_items();
}

void Examples::not_found(const QString& file_name) {
    f_.dialogs().message_box(not_found_text(file_name, f_.File_list_1->path()));
    f_.pump.check_ending();
}

QString Examples::not_found_text(const QString& file_name, const QString& folder) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("File;  ' ") + file_name + QStringLiteral(" ' Not found...") + crlf +
           crlf + QStringLiteral("The file should be in ") + folder + QStringLiteral(" Folder!") +
           crlf + crlf + QStringLiteral("Ask us if you can't find the cmd file") + crlf +
           QStringLiteral("and we will mail you (a new) one.");
}

void Examples::Cmd_show_cmd_list_MouseDown(Qt::MouseButton button) {
    Form_state& s = f_.state;
    s.Cmd_file_path =
        f_.File_list_1->path() + QDir::separator() + s.Module_id + QStringLiteral("_cmd.txt");
    f_.set_hint(s.Cmd_file_path + QStringLiteral("   *** Make a backup before editing! ***"));
    if (button == Qt::RightButton) {
        // Nothing more happens when no editor could be started.
        open_in_text_editor(f_.editor(), s.Cmd_file_path);
    }
}

void Examples::List_cmd_list_Click() {
    const Row_parts parts = split_list_row(f_.List_cmd_list->selected_text());
    switch (parts.kind) {
        case Row_parts::Kind::nothing:
            break;
        case Row_parts::Kind::heading:
            f_.set_hint(parts.text);
            break;
        case Row_parts::Kind::example:
            f_.Text_Cmd->setText(parts.text);
            f_.set_hint(parts.description);
            break;
    }
}

void Examples::List_cmd_list_DblClick() {
    if (!f_.MSerial.PortOpen()) return;
    const QString row = trim_blanks(f_.List_cmd_list->selected_text());
    if (row.isEmpty()) return;
    if (is_heading_row(row)) {
        f_.set_hint(row);
        return;
    }
    if (row.startsWith(QLatin1Char('A'))) {
        // A double click never sends an AT command; [Send] does.
        f_.set_title(QStringLiteral("Use command [Send] for At codes...."));
        return;
    }
    f_.sending().send_command_line();
}

void Examples::List_cmd_list_KeyPress(int key_code) {
    if (key_code == kEnter && f_.MSerial.PortOpen()) f_.sending().send_command_line();
}
