#include "app/aux_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "app/control_table.h"
#include "app/port_opening.h"
#include "app/session_record.h"
#include "app/shipped_files.h"
#include "app/text_editor.h"
#include "app/vimbo_form.h"

Aux_commands::Aux_commands(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_reserve_1, &QPushButton::clicked, [this] { Cmd_reserve_1_Click(); });
    f_.on(f_.Cmd_reserve_2, &QPushButton::clicked, [this] { Cmd_reserve_2_Click(); });
    f_.on(f_.List_1, &Line_list::double_clicked, [this] { List_1_DblClick(); });
    f_.on(f_.List_1, &Line_list::mouse_down, [this](Qt::MouseButton b) { List_1_MouseDown(b); });
    f_.on(f_.Cmd_read_infos, &QPushButton::clicked, [this] { Cmd_read_infos_Click(); });
    f_.on(f_.Cmd_Show_About, &QPushButton::clicked, [this] { Cmd_Show_About_Click(); });
}

void Aux_commands::Cmd_reserve_1_Click() {
    f_.set_title(QStringLiteral("Resume [AT+] mode again before ending the program...."));
    f_.log(separator_line(time_of_day_text(locale, time_of_day())));
    f_.set_hint(QStringLiteral("DBclick on the list to clear the window..."));
}

void Aux_commands::Cmd_reserve_2_Click() {
    // A red port button means this command closed the port: the next click reopens it.
    if (f_.Cmd_com_usb->back_color() == colors::kRed) {
        f_.port_opening().Cmd_com_usb_Click();
        return;
    }
    if (f_.MSerial.PortOpen()) {
        f_.MSerial.set_PortOpen(false);
        f_.Cmd_com_usb->set_back_color(colors::kRed);
    }
    // The line being received stays: what arrives after a reopening is appended to it.
    f_.Cmd_reserve_2->set_caption(QString());
}

void Aux_commands::List_1_DblClick() {
    f_.List_1->clear_items();
    f_.record().note(QStringLiteral("Log emptied"));
}

void Aux_commands::List_1_MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) f_.set_hint(f_.List_1->selected_text());
}

void Aux_commands::Cmd_read_infos_Click() {
#ifdef Q_OS_WIN
    const QString path = QStringLiteral("C:\\Vimbo\\vimbo_info.txt");
#else
    const QString path = info_file_path(QCoreApplication::applicationDirPath(), is_file);
#endif
    // Nothing is shown when no editor can be started.
    open_in_text_editor(f_.editor(), path);
}

void Aux_commands::Cmd_Show_About_Click() {
    f_.dialogs().message_box(about_text());
}

QString Aux_commands::about_text() {
    const QStringList lines{
        QStringLiteral("Copyright (C) 2026 the VIMBO project authors"),
        QStringLiteral("VIMBO service tool, made by its authors worldwide"),
        QString(),
        QStringLiteral("Check our web site for manuals, update and infos."),
        QStringLiteral("Send command [Pw ?] and [Pw F] to the controller!"),
        QString(),
        QStringLiteral("Manual: vimbo_info.txt, opened with [Read Infos]"),
        QStringLiteral("Settings: vimbo.set in the working folder"),
        QStringLiteral("Command examples: <engine id>_cmd.txt in the working folder"),
        QString(),
        QStringLiteral("*** SMS CONTROLLER ***"),
        QStringLiteral("Last compile: Augustus 2015"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString separator_line(const QString& time_text) {
    return QString(33, u'=') + u' ' + time_text + QStringLiteral(" =====");
}

QString time_of_day_format(const QString& long_format) {
    QString kept;
    bool quoted = false;
    for (QChar c : long_format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;  // the time zone
        kept += c;
    }
    kept.remove(QStringLiteral("()"));
    return kept.simplified();
}

QString time_of_day_text(const QLocale& locale, const QTime& time) {
    // Locales may separate AM/PM with a no-break space: shown as a plain blank.
    const QString text =
        locale.toString(time, time_of_day_format(locale.timeFormat(QLocale::LongFormat)))
            .simplified();
    const bool eight_bit =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
    if (eight_bit && !text.isEmpty()) return text;
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString info_file_path(const QString& app_dir, const std::function<bool(const QString&)>& exists) {
    return shipped_file_path(app_dir, kInfoFileName, kInfoFileName, exists);
}
