#include "upload/update_vimbo.h"

#include "app/vimbo_form.h"
#include "base/colors.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "upload/file_lines.h"
#include "upload/hardware_id.h"
#include "upload/transfer_buttons.h"

using namespace transfer_buttons;

namespace {
const QString kPressInitialize = QStringLiteral(" *** Press [ Initialize ] if not yet done! ***");
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

// The sign-on line: "#", then 0xBE or 0xD0 (the loader's own), then anything.
bool is_sign_on(const QString& reply) {
    if (reply.size() < 2) return false;
    const char16_t second = reply[1].unicode();
    return second == board::kSignOnEeprom || second == board::kSignOnLoader;
}

// Arming a one-shot timeout: stop, clear the flag, set the interval, start.
void arm(Window_timer& timer, bool& expired, int ms) {
    timer.set_enabled(false);
    expired = false;
    timer.set_interval(ms);
    timer.set_enabled(true);
}
}  // namespace

Upload_procedure::Upload_procedure(Vimbo_form& form) : f_(form) {}

Upload_procedure::~Upload_procedure() = default;

void Upload_procedure::Update_vimbo() {
    try {
        try {
            transfer();
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

// The transfer as its steps; each step that returns false has ended it for the clean-up.
void Upload_procedure::transfer() {
    file_name_.clear();
    announce();
    if (!sign_on_wait()) return;
    open_and_start();
    if (!hardware_id_wait()) return;
    show_writing();
    if (!first_pause()) return;
    while (reply_wait() == Reply_outcome::next_line) next_line();
}

// 1-2. Ask for Initialize; in the update use the procedure makes UPDATE busy itself. A
// click on either busy button asks the transfer to stop, so a request left from before
// never ends a new transfer, in either use.
void Upload_procedure::announce() {
    Form_state& s = f_.state;
    f_.set_hint(kPressInitialize);
    s.Abort_request = false;
    if (!is_busy(f_.Cmd_write_eeprom)) {
        f_.log(QStringLiteral("Don't click on BUSY to escape but wait!"));
        make_busy(f_.Cmd_update_vimbo, colors::kRed);
    }
}

// 3. Sign-on wait, without time limit: a click on the busy button ends it, without message.
// A sign-on already in the mailbox lets the transfer go on at once.
bool Upload_procedure::sign_on_wait() {
    const Form_state& s = f_.state;
    f_.pump.wait_until([&] { return s.Abort_request || is_sign_on(s.Rx_reply); });
    return !s.Abort_request;
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
bool Upload_procedure::hardware_id_wait() {
    Form_state& s = f_.state;
    arm(*f_.Timer2, s.Timer2_expired, kHardwareIdTimeoutMs);
    const QString file_id = file_id_of(file_name_);
    f_.pump.wait_until([&] {
        return check_hardware_id(s.Rx_reply, file_id) != Hardware_id_verdict::not_an_id ||
               s.Abort_request || s.Timer2_expired;
    });
    switch (check_hardware_id(s.Rx_reply, file_id)) {
        case Hardware_id_verdict::accepted:
            return true;
        case Hardware_id_verdict::matched:
            f_.set_hint(QStringLiteral("Hardware match for; ") + file_id);
            return true;
        case Hardware_id_verdict::mismatched:
            f_.log(QStringLiteral("ERROR, Hardware do not match File!"));
            s.Rx_reply.clear();
            return false;
        case Hardware_id_verdict::not_an_id:
            break;
    }
    if (!s.Abort_request) f_.log(kNoResponseLog);
    return false;
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
bool Upload_procedure::first_pause() {
    f_.state.Rx_reply.clear();
    if (f_.state.Abort_request) return false;
    pause(kFirstPauseMs);
    return true;
}

// 11. Wait up to 4.5 s for the board's answer, tested in this order. Other "#" lines are
// logged once each and the wait goes on, still counted from its start.
Upload_procedure::Reply_outcome Upload_procedure::reply_wait() {
    Form_state& s = f_.state;
    arm(*f_.Timer2, s.Timer2_expired, kReplyTimeoutMs);
    const int losses_before = f_.MSerial.Losses();
    for (;;) {
        f_.pump.wait_until(
            [&] { return !s.Rx_reply.isEmpty() || s.Abort_request || s.Timer2_expired; });
        const QString& reply = s.Rx_reply;
        if (reply == QLatin1String(board::kReplyHeaderError)) {
            log_stop(QStringLiteral("the board refused the line (#?)."));
            box(header_error_text());
            return Reply_outcome::ended;
        }
        if (reply == QLatin1String(board::kReplyChecksumError)) {
            log_stop(QStringLiteral("the board found a checksum error (#!)."));
            box(checksum_error_text());
            return Reply_outcome::ended;
        }
        if (reply == QLatin1String(board::kReplyChipTypeError)) {
            log_stop(QStringLiteral("the board refused the record type (#*)."));
            box(chip_type_error_text());
            return Reply_outcome::ended;
        }
        if (reply == QLatin1String(board::kReplyNextLine)) return Reply_outcome::next_line;
        if (reply == QLatin1String(board::kReplyDone)) {
            if (is_busy(f_.Cmd_update_vimbo))
                f_.log(QStringLiteral("#@ Software Update to RQMxx succesfull!"));
            if (is_busy(f_.Cmd_write_eeprom))
                f_.log(QStringLiteral("#@ Eeprom upload to RQMxx succesfull!"));
            return Reply_outcome::ended;
        }
        if (s.Abort_request) {
            log_stop(QStringLiteral("stopped on the busy button."));
            failure_message();
            return Reply_outcome::ended;
        }
        if (s.Timer2_expired) {
            f_.set_hint(kNoResponseHint);
            // A device that went away and came back within the wait still lost the line.
            const bool lost = !f_.MSerial.PortOpen() || f_.MSerial.Losses() != losses_before;
            log_stop(lost ? QStringLiteral("the port was lost.")
                          : QStringLiteral("no reply from the board."));
            failure_message();
            return Reply_outcome::ended;
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

void Upload_procedure::pause(int ms) {
    Form_state& s = f_.state;
    arm(*f_.Timer1, s.Timer1_expired, ms);
    f_.pump.wait_until([&] { return s.Timer1_expired; });
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
