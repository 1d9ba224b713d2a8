#include "upload/update_vimbo.h"

#include "app/vimbo_form.h"
#include "base/colors.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "transfer/transfer_steps.h"
#include "upload/file_lines.h"
#include "upload/hardware_id.h"
#include "upload/transfer_buttons.h"

using namespace transfer_buttons;

namespace {
const QString kDefaultUpdateFile = QStringLiteral("8800.upd");
const QString kNoResponseLog =
    QStringLiteral("RQMxx take to long to respond! Check the serial link.");
const QString kNoResponseHint =
    QStringLiteral("RQMxx take to long to respond! (Also check the serial link)");
const QString kEndedTitle = QStringLiteral(" VIMBO .....");

constexpr int kHardwareIdTimeoutMs = 8000;
constexpr int kReplyTimeoutMs = 4500;
constexpr int kFirstPauseMs = 35;
constexpr int kNextLinePauseMs = 36;
constexpr int kProgressSteps = 100;

// The upload takes the board's sign-on and its loader's own.
const Sign_on_bytes kSignOn{board::kSignOnEeprom, board::kSignOnLoader};
}  // namespace

Upload_procedure::Upload_procedure(Vimbo_form& form)
    : f_(form),
      steps_(Transfer_link{form.MSerial,
                           form.pump,
                           {*form.Timer1, form.state.Timer1_expired},
                           {*form.Timer2, form.state.Timer2_expired},
                           form.state.Rx_reply}) {}

Upload_procedure::~Upload_procedure() = default;

void Upload_procedure::Update_vimbo() {
    try {
        try {
            transfer();
        } catch (const Transfer_stopped& stop) {
            if (!stop.why.isEmpty()) log_stop(stop.why);
        } catch (const Program_ending&) {
            throw;
        } catch (const std::exception&) {
            // A run-time failure anywhere (file missing or unreadable, port closed, send
            // refused): the failure message, then the clean-up.
            log_stop(run_time_failure_reason());
            failure_message();
        }
    } catch (const Program_ending&) {
        // The program is ending: no further step, only the file is let go.
        lines_.reset();
        file_.reset();
        throw;
    }
    clean_up();
}

// The transfer as its steps; a step that ends it early throws Transfer_stopped, and every
// ending goes on to the clean-up.
void Upload_procedure::transfer() {
    file_name_.clear();
    announce();
    sign_on_wait();
    open_and_start();
    hardware_id_wait();
    show_writing();
    first_pause();
    while (next_line_asked()) next_line();
}

// 1-2. Ask for Initialize; in the update use the procedure makes UPDATE busy itself. A
// click on either busy button asks the transfer to stop, so a request left from before
// never ends a new transfer, in either use.
void Upload_procedure::announce() {
    Form_state& s = f_.state;
    f_.set_hint(kPressInitializeHint);
    s.Abort_request = false;
    if (!is_busy(f_.Cmd_write_eeprom)) {
        f_.log(QStringLiteral("Don't click on BUSY to escape but wait!"));
        make_busy(f_.Cmd_update_vimbo, colors::kRed);
    }
}

// 3. Sign-on wait, without time limit: a click on the busy button ends it, without message.
// A sign-on already in the mailbox lets the transfer go on at once.
void Upload_procedure::sign_on_wait() {
    const Form_state& s = f_.state;
    steps_.wait_for_sign_on(kSignOn, [&] { return s.Abort_request; });
}

// 4-5. Open the file of the running use, send the start byte, and give the other transfer
// buttons back their idle look.
void Upload_procedure::open_and_start() {
    Form_state& s = f_.state;
    s.Rx_reply.clear();
    if (is_busy(f_.Cmd_update_vimbo)) {
        if (s.Chosen_file.isEmpty()) s.Chosen_file = kDefaultUpdateFile;
        open_file(s.Chosen_file);
        f_.log(QStringLiteral("Hardware responding..."));
        f_.log(s.Chosen_file);
        send_start_byte();
        make_idle(f_.Cmd_read_eeprom, kReadEepIdle);
        make_idle(f_.Cmd_write_eeprom, kWriteEepIdle);
    }
    if (is_busy(f_.Cmd_write_eeprom)) {
        if (s.Eeprom_file.isEmpty()) s.Eeprom_file = s.Chosen_file;
        open_file(s.Eeprom_file);
        send_start_byte();
        make_idle(f_.Cmd_read_eeprom, kReadEepIdle);
        make_idle(f_.Cmd_update_vimbo, kUpdateIdle);
    }
}

// 6-7. Wait up to 8 s for the board's hardware id and check it against the file being sent
// (its own name, not the last pick in the list: that may be another file altogether).
void Upload_procedure::hardware_id_wait() {
    Form_state& s = f_.state;
    const Timeout& timeout = steps_.link().timer2;
    steps_.arm(timeout, kHardwareIdTimeoutMs);
    const QString file_id = file_id_of(file_name_);
    steps_.wait_for_reply(
        timeout,
        [&](const QString& reply) {
            return check_hardware_id(reply, file_id) != Hardware_id_verdict::not_an_id;
        },
        [&] { return s.Abort_request; });
    switch (check_hardware_id(s.Rx_reply, file_id)) {
        case Hardware_id_verdict::accepted:
            return;
        case Hardware_id_verdict::matched:
            f_.set_hint(QStringLiteral("Hardware match for; ") + file_id);
            return;
        case Hardware_id_verdict::mismatched:
            f_.log(QStringLiteral("ERROR, Hardware do not match File!"));
            s.Rx_reply.clear();
            stop_transfer();
        case Hardware_id_verdict::not_an_id:
            break;
    }
    if (!s.Abort_request) f_.log(kNoResponseLog);
    stop_transfer();
}

// 8-9. The accepted id and the file in the log; the busy button turns green.
void Upload_procedure::show_writing() {
    f_.log(QStringLiteral("Hardware Id = ") + f_.state.Rx_reply);
    f_.log(QStringLiteral("WRITING; ") + file_name_);
    if (is_busy(f_.Cmd_update_vimbo)) {
        f_.Cmd_update_vimbo->set_back_color(colors::kGreen);
        f_.set_title(QStringLiteral("Wait untill UPDATE upload FINISHED!"));
    }
    if (is_busy(f_.Cmd_write_eeprom)) {
        f_.Cmd_write_eeprom->set_back_color(colors::kGreen);
        f_.set_title(QStringLiteral("Wait untill EEPROM upload FINISHED!"));
    }
}

// 10. The first pause. A stop asked for until here ends the transfer without a message.
void Upload_procedure::first_pause() {
    f_.state.Rx_reply.clear();
    if (f_.state.Abort_request) stop_transfer();
    pause(kFirstPauseMs);
}

// 11. Wait up to 4.5 s for the board's answer, tested in this order. Other "#" lines are
// logged once each and the wait goes on, still counted from its start. True when the board
// asks for the next line, false when it reports the transfer complete.
bool Upload_procedure::next_line_asked() {
    Form_state& s = f_.state;
    const Timeout& timeout = steps_.link().timer2;
    steps_.arm(timeout, kReplyTimeoutMs);
    const int losses_before = f_.MSerial.Losses();
    for (;;) {
        steps_.wait_for_reply(
            timeout, [](const QString& reply) { return !reply.isEmpty(); },
            [&] { return s.Abort_request; });
        const QString& reply = s.Rx_reply;
        if (reply == QLatin1String(board::kReplyHeaderError)) {
            stop_with_box(QStringLiteral("the board refused the line (#?)."), header_error_text());
        }
        if (reply == QLatin1String(board::kReplyChecksumError)) {
            stop_with_box(QStringLiteral("the board found a checksum error (#!)."),
                          checksum_error_text());
        }
        if (reply == QLatin1String(board::kReplyChipTypeError)) {
            stop_with_box(QStringLiteral("the board refused the record type (#*)."),
                          chip_type_error_text());
        }
        if (reply == QLatin1String(board::kReplyNextLine)) return true;
        if (reply == QLatin1String(board::kReplyDone)) {
            if (is_busy(f_.Cmd_update_vimbo))
                f_.log(QStringLiteral("#@ Software Update to RQMxx succesfull!"));
            if (is_busy(f_.Cmd_write_eeprom))
                f_.log(QStringLiteral("#@ Eeprom upload to RQMxx succesfull!"));
            return false;
        }
        if (s.Abort_request) stop_with_box(QStringLiteral("stopped on the busy button."));
        if (s.Timer2_expired) {
            f_.set_hint(kNoResponseHint);
            // A device that went away and came back within the wait still lost the line.
            const bool lost = !f_.MSerial.PortOpen() || f_.MSerial.Losses() != losses_before;
            stop_with_box(lost ? QStringLiteral("the port was lost.")
                               : QStringLiteral("no reply from the board."));
        }
        f_.log(reply);
        s.Rx_reply.clear();
    }
}

// 12. After a pause, the next line and CR; at the end of the file nothing is sent, and the
// board decides the end.
void Upload_procedure::next_line() {
    pause(kNextLinePauseMs);
    f_.state.Rx_reply.clear();
    if (!lines_) throw Runtime_failure("no file is being sent");
    if (lines_->at_end()) return;
    const QString line = QString::fromLatin1(lines_->next_line());
    f_.set_hint(line);
    f_.MSerial.Output(line + QLatin1Char(board::kCr));
    ++lines_sent_;
    show_progress();
}

// The hint line fills from the left with the share of the file's lines sent. Restyling
// the fill costs more than a line's whole exchange, so it is redrawn in steps of 1 %.
void Upload_procedure::show_progress() {
    if (lines_in_file_ <= 0) return;
    const int fill = int(qint64(lines_sent_) * kProgressSteps / lines_in_file_);
    if (fill == progress_fill_ && lines_sent_ < lines_in_file_) return;
    progress_fill_ = fill;
    f_.Label1->set_progress(double(lines_sent_) / lines_in_file_);
}

void Upload_procedure::stop_with_box(const QString& why, const QString& box_text) {
    log_stop(why);
    if (box_text.isEmpty()) {
        failure_message();
    } else {
        box(box_text);
    }
    stop_transfer();
}

// 14. The failure message of the use that runs.
void Upload_procedure::failure_message() {
    if (is_busy(f_.Cmd_update_vimbo)) box(update_failed_text());
    if (is_busy(f_.Cmd_write_eeprom)) box(eeprom_failed_text());
}

void Upload_procedure::log_stop(const QString& why) {
    if (lines_ && lines_sent_ > 0) {
        f_.log(QStringLiteral("Upload stopped after line %1 of %2: ")
                   .arg(lines_sent_)
                   .arg(lines_in_file_) +
               why);
    } else if (lines_) {
        f_.log(QStringLiteral("Upload stopped before the first line: ") + why);
    } else {
        f_.log(QStringLiteral("Upload stopped: ") + why);
    }
}

QString Upload_procedure::run_time_failure_reason() const {
    if (!f_.MSerial.PortOpen()) return QStringLiteral("the port is not open.");
    if (!lines_) return QStringLiteral("the file cannot be read; ") + file_name_;
    return QStringLiteral("a line could not be sent.");
}

// 13. Every ending comes here. Only the upload's own file is closed.
void Upload_procedure::clean_up() {
    Form_state& s = f_.state;
    make_idle(f_.Cmd_update_vimbo, kUpdateIdle);
    make_idle(f_.Cmd_write_eeprom, kWriteEepIdle);
    s.Abort_request = false;
    s.Rx_reply.clear();
    f_.Text_Cmd->set_back_color(colors::kRed);
    lines_.reset();
    file_.reset();
    f_.Label1->set_progress(-1);
    f_.set_title(kEndedTitle);
}

void Upload_procedure::open_file(const QString& name) {
    lines_.reset();
    file_ = std::make_unique<Tracked_file>(f_.files, name);
    file_name_ = name;
    if (!file_->open(QIODevice::ReadOnly)) throw Runtime_failure("cannot open the file to send");
    lines_in_file_ = count_lines(*file_);
    lines_sent_ = 0;
    progress_fill_ = 0;
    lines_ = std::make_unique<Line_reader>(*file_);
}

void Upload_procedure::send_start_byte() {
    f_.state.Rx_reply.clear();
    f_.MSerial.Output(QString(QChar(board::kUploadStart)));
}

// The pauses before a line are not cut short: a stop asked for meanwhile is seen after.
void Upload_procedure::pause(int ms) {
    steps_.pause(steps_.link().timer1, ms);
}

void Upload_procedure::box(const QString& text) {
    f_.dialogs().message_box(text);
    f_.pump.check_ending();
}

QString Upload_procedure::header_error_text() {
    return QStringLiteral(
        "#? RQMxx reply ERROR DATA Line Header!\r\n\r\n"
        "Try again. Check Update file. Use RQMxx Power Up if no response...");
}

QString Upload_procedure::checksum_error_text() {
    return QStringLiteral(
        "#! RQMxx reply Line CheckSum ERROR!\r\n\r\n"
        "Try again. Use RQMxx Power Up if no response...");
}

QString Upload_procedure::chip_type_error_text() {
    return QStringLiteral(
        "#* RQMxx reply Line Chip Type ERROR!\r\n\r\n"
        "Try again. Check Update file. Use RQMxx Power Up if no response...");
}

QString Upload_procedure::update_failed_text() {
    return QStringLiteral(
        "ERROR Uploading Software Update!\r\n\r\n"
        "Try again. Use RQMxx Power Up if no response...\r\n\r\n"
        "Check the info file for details on UPDATE.");
}

QString Upload_procedure::eeprom_failed_text() {
    return QStringLiteral(
        "ERROR Uploading EEPROM to RQMxx!\r\n\r\n"
        "Try again. Check the info file for details on EEPROM upload.");
}
