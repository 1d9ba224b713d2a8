#include "console/sending.h"

#include "app/key_codes.h"
#include "app/vimbo_form.h"
#include "serial/board_dialogue.h"

namespace {
// The whole command line "^Z" stands for Ctrl-Z, which ends an SMS text in AT mode.
const QString kCtrlZMarker = QString::fromLatin1(board::kCtrlZMarker);
const QString kCtrlZ = QString(QLatin1Char(board::kCtrlZ));
}  // namespace

bool is_ic_case(const QString& module_box_text) {
    return module_box_text.startsWith(QLatin1String("ic"), Qt::CaseSensitive);
}

Sending::Sending(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_send_cmd, &QPushButton::clicked, [this] { Cmd_send_cmd_Click(); });
    f_.on(f_.Cmd_send_cmd, &Vb_button::mouse_down,
          [this](Qt::MouseButton b) { Cmd_send_cmd_MouseDown(b); });
    f_.on(f_.Text_Cmd, &Vb_text_box::key_pressed, [this](int k) { Text_Cmd_KeyPress(k); });
    f_.on(f_.Text_Cmd, &Vb_text_box::mouse_down,
          [this](Qt::MouseButton b) { Text_Cmd_MouseDown(b); });
    f_.on(f_.Text_to_copy, &Vb_memo::double_clicked, [this] { Text_to_copy_DblClick(); });
    // The right button on the command line opens the copy box; an edit menu popping up over
    // it at the same moment would only be in the way.
    f_.Text_Cmd->setContextMenuPolicy(Qt::NoContextMenu);
}

bool Sending::send_ctrl_z_marker() {
    if (f_.Text_Cmd->text() != kCtrlZMarker) return false;
    f_.MSerial.Output(kCtrlZ);
    return true;
}

void Sending::Cmd_send_cmd_Click() {
    if (send_ctrl_z_marker()) return;
    if (is_ic_case(f_.Text_module_Id->text()) && !f_.Text_to_copy->isHidden()) {
        // The copy box goes as one text; its line breaks travel as CR LF pairs.
        f_.MSerial.Output(f_.Text_to_copy->text() + QStringLiteral("\r\n"));
        f_.set_title(QStringLiteral("Line TXT + CR + LF....."));
        return;
    }
    send_command_line();
}

void Sending::Cmd_send_cmd_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    if (send_ctrl_z_marker()) return;
    f_.MSerial.Output(f_.Text_Cmd->text());
    f_.set_title(QStringLiteral("Line TXT no CR no LF....."));
}

void Sending::Text_Cmd_KeyPress(int key_code) {
    if (key_code == kEnter) Cmd_send_cmd_Click();
}

void Sending::Text_Cmd_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    f_.Text_to_copy->show();
    f_.Text_to_copy->set_text(f_.state.Copy_text);
}

void Sending::Text_to_copy_DblClick() {
    f_.state.Copy_text = f_.Text_to_copy->text();
    f_.Text_to_copy->hide();
}

void Sending::send_command_line() {
    f_.MSerial.Output(f_.Text_Cmd->text() + QLatin1Char(board::kCr));
}
