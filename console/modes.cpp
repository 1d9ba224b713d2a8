#include "console/modes.h"

#include "app/vimbo_form.h"
#include "base/colors.h"
#include "console/examples.h"
#include "console/sending.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"

namespace {
// Mode commands: the board takes each as the first character of a line.
const QString kEnterAtMode = QString(QLatin1Char(board::kEnterAtMode));
const QString kEnterPcMode = QString(QLatin1Char(board::kEnterPcCommandMode));
const QString kUndecodedAnswers = QString(QLatin1Char(board::kUndecodedAtAnswers));
// The access code of the board, a blank and the status command.
const QString kPcModePreset = QStringLiteral("6157 s");
}  // namespace

Modes::Modes(Vimbo_form& form) : f_(form) {
    f_.on(f_.Cmd_start_AT_mode, &QPushButton::clicked, [this] { Cmd_start_AT_mode_Click(); });
    f_.on(f_.Cmd_start_AT_mode, &Vb_button::mouse_down,
          [this](Qt::MouseButton b) { Cmd_start_AT_mode_MouseDown(b); });
    f_.on(f_.Cmd_start_SMS_mode, &QPushButton::clicked, [this] { Cmd_start_SMS_mode_Click(); });
    f_.on(f_.Cmd_initialize_vimbo, &QPushButton::clicked, [this] { Cmd_initialize_vimbo_Click(); });
}

void Modes::show_at_mode() {
    f_.Text_Cmd->set_back_color(colors::kRed);
    f_.Text_Cmd->setText(QStringLiteral("AT"));
}

void Modes::Cmd_start_AT_mode_Click() {
    Examples& examples = f_.examples();
    if (examples.list_shown()) examples.close_list();
    // An "ic" engine takes "}" alone and keeps the command line as it is.
    const bool keep_command_line = f_.MSerial.PortOpen() && is_ic_case(f_.Text_module_Id->text());
    if (f_.MSerial.PortOpen()) {
        f_.MSerial.Output(keep_command_line ? kEnterAtMode
                                            : kEnterAtMode + QLatin1Char(board::kCr));
    }
    if (!keep_command_line) show_at_mode();
    examples.Cmd_show_cmd_list_Click();
    f_.set_title(QStringLiteral(" AT+ commands to controller GSM radio module!"));
}

void Modes::Cmd_start_AT_mode_MouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton || !is_ic_case(f_.Text_module_Id->text())) return;
    if (f_.MSerial.PortOpen()) f_.MSerial.Output(kUndecodedAnswers);
    f_.set_title(QStringLiteral(" Print ATC response on screen no decode!"));
}

void Modes::Cmd_start_SMS_mode_Click() {
    try {
        sms_mode_steps();
    } catch (const Runtime_failure&) {
        f_.set_title(QStringLiteral(" *********** error ********** "));
    }
}

void Modes::sms_mode_steps() {
    Examples& examples = f_.examples();
    if (examples.list_shown()) examples.close_list();
    if (f_.MSerial.PortOpen()) f_.MSerial.Output(kEnterPcMode);
    f_.Text_Cmd->set_back_color(colors::kBlue);
    f_.Text_Cmd->setText(kPcModePreset);
    examples.Cmd_show_cmd_list_Click();
    f_.set_title(QStringLiteral(" Send PC ComManDs to the controller just like SMS...."));
}

void Modes::Cmd_initialize_vimbo_Click() {
    if (!f_.MSerial.PortOpen()) {
        f_.log(QStringLiteral("No Comm Port selected! "));
        f_.Cmd_com_usb->set_back_color(colors::kRed);
        return;
    }
    try {
        initialize_steps();
    } catch (const Runtime_failure&) {
        f_.log(QStringLiteral("Error TX to Comm Port!"));
    }
}

void Modes::initialize_steps() {
    // Three writes: NUL, CAN, "!" reset the board, which then greets and signs on.
    for (const char byte : board::kInitialize) f_.MSerial.Output(QString(QLatin1Char(byte)));
    // No "}" is written: the board starts in AT mode after its reset.
    show_at_mode();
}
