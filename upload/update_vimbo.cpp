#include "upload/update_vimbo.h"

#include <utility>

#include "base/colors.h"
#include "base/dialogs.h"
#include "base/open_files.h"
#include "base/programming_error.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "serial/pump.h"
#include "serial/serial_control.h"
#include "transfer/transfer_buttons.h"
#include "upload/file_lines.h"
#include "upload/hardware_id.h"

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

Upload_procedure::Upload_procedure(const Transfer_link& link, Transfer_view& view,
                                   const Upload_names& names)
    : steps_(link), link_(steps_.link()), view_(view), names_(names) {}

Upload_procedure::~Upload_procedure() = default;

void Upload_procedure::Update_vimbo() {
    try {
        try {
            transfer();
        } catch (const Transfer_stopped& stop) {
            if (!stop.why.isEmpty()) log_stop(stop.why);
        } catch (const Program_ending&) {
            throw;
        } catch (const std::exception& e) {
            // A run-time failure anywhere (file missing or unreadable, port closed, send
            // refused): the failure message, then the clean-up. Anything else is a bug that
            // ends the transfer the same way, and says so.
            if (!dynamic_cast<const Runtime_failure*>(&e)) {
                warn_programming_error("Update_vimbo", e);
            }
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

// Ask for Initialize; in the update use the procedure makes UPDATE busy itself. A
// click on either busy button asks the transfer to stop, so a request left from before
// never ends a new transfer, in either use.
void Upload_procedure::announce() {
    view_.set_hint(kPressInitializeHint);
    names_.Abort_request = false;
    if (!eeprom_busy()) {
        view_.log(QStringLiteral("Don't click on BUSY to escape but wait!"));
        make_busy(view_, Transfer_button::update, colors::kRed);
    }
}

// The sign-on wait, without time limit: a click on the busy button ends it, without message.
// A sign-on already in the mailbox lets the transfer go on at once.
void Upload_procedure::sign_on_wait() {
    steps_.wait_for_sign_on(kSignOn, [&] { return names_.Abort_request; });
}

// Open the file of the running use, send the start byte, and give the other transfer
// buttons back their idle look.
void Upload_procedure::open_and_start() {
    link_.reply.clear();
    if (update_busy()) {
        if (names_.Chosen_file.isEmpty()) names_.Chosen_file = kDefaultUpdateFile;
        open_file(names_.Chosen_file);
        view_.log(QStringLiteral("Hardware responding..."));
        view_.log(names_.Chosen_file);
        send_start_byte();
        make_idle(view_, Transfer_button::read_eeprom);
        make_idle(view_, Transfer_button::write_eeprom);
    }
    if (eeprom_busy()) {
        if (names_.Eeprom_file.isEmpty()) names_.Eeprom_file = names_.Chosen_file;
        open_file(names_.Eeprom_file);
        send_start_byte();
        make_idle(view_, Transfer_button::read_eeprom);
        make_idle(view_, Transfer_button::update);
    }
}

// Wait up to 8 s for the board's hardware id and check it against the file being sent
// (its own name, not the last pick in the list: that may be another file altogether).
void Upload_procedure::hardware_id_wait() {
    const Timeout& timeout = link_.timer2;
    steps_.arm(timeout, kHardwareIdTimeoutMs);
    const QString file_id = file_id_of(file_name_);
    steps_.wait_for_reply(
        timeout,
        [&](const QString& reply) {
            return check_hardware_id(reply, file_id) != Hardware_id_verdict::not_an_id;
        },
        [&] { return names_.Abort_request; });
    switch (check_hardware_id(link_.reply, file_id)) {
        case Hardware_id_verdict::accepted:
            return;
        case Hardware_id_verdict::matched:
            view_.set_hint(QStringLiteral("Hardware match for; ") + file_id);
            return;
        case Hardware_id_verdict::mismatched:
            view_.log(QStringLiteral("ERROR, Hardware do not match File!"));
            link_.reply.clear();
            stop_transfer();
        case Hardware_id_verdict::not_an_id:
            break;
    }
    if (!names_.Abort_request) view_.log(kNoResponseLog);
    stop_transfer();
}

// The accepted id and the file in the log; the busy button turns green.
void Upload_procedure::show_writing() {
    view_.log(QStringLiteral("Hardware Id = ") + link_.reply);
    view_.log(QStringLiteral("WRITING; ") + file_name_);
    if (update_busy()) {
        view_.set_color(Transfer_button::update, colors::kGreen);
        view_.set_title(QStringLiteral("Wait untill UPDATE upload FINISHED!"));
    }
    if (eeprom_busy()) {
        view_.set_color(Transfer_button::write_eeprom, colors::kGreen);
        view_.set_title(QStringLiteral("Wait untill EEPROM upload FINISHED!"));
    }
}

// The first pause. A stop asked for until here ends the transfer without a message.
void Upload_procedure::first_pause() {
    link_.reply.clear();
    if (names_.Abort_request) stop_transfer();
    pause(kFirstPauseMs);
}

// Wait up to 4.5 s for the board's answer, tested in this order. Other "#" lines are
// logged once each and the wait goes on, still counted from its start. True when the board
// asks for the next line, false when it reports the transfer complete.
bool Upload_procedure::next_line_asked() {
    const Timeout& timeout = link_.timer2;
    steps_.arm(timeout, kReplyTimeoutMs);
    const int losses_before = link_.port.Losses();
    for (;;) {
        steps_.wait_for_reply(
            timeout, [](const QString& reply) { return !reply.isEmpty(); },
            [&] { return names_.Abort_request; });
        const QString& reply = link_.reply;
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
            if (update_busy()) view_.log(QStringLiteral("#@ Software Update to RQMxx succesfull!"));
            if (eeprom_busy()) {
                view_.log(QStringLiteral("#@ Eeprom upload to RQMxx succesfull!"));
                if (checked_.armed()) verify_hint_ = checked_.verify_hint();
            }
            return false;
        }
        if (names_.Abort_request) stop_with_box(QStringLiteral("stopped on the busy button."));
        if (link_.timer2.expired) {
            view_.set_hint(kNoResponseHint);
            // A device that went away and came back within the wait still lost the line.
            const bool lost = !link_.port.PortOpen() || link_.port.Losses() != losses_before;
            stop_with_box(lost ? QStringLiteral("the port was lost.")
                               : QStringLiteral("no reply from the board."));
        }
        view_.log(reply);
        link_.reply.clear();
    }
}

// After a pause, the next line and CR; at the end of the file nothing is sent, and the
// board decides the end.
void Upload_procedure::next_line() {
    pause(kNextLinePauseMs);
    link_.reply.clear();
    if (!lines_) throw Runtime_failure("no file is being sent");
    if (lines_->at_end()) return;
    const QString line = QString::fromLatin1(lines_->next_line());
    view_.set_hint(line);
    link_.port.Output(line + QLatin1Char(board::kCr));
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
    view_.set_progress(double(lines_sent_) / lines_in_file_);
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

// The failure message of the use that runs.
void Upload_procedure::failure_message() {
    if (update_busy()) box(update_failed_text());
    if (eeprom_busy()) box(eeprom_failed_text());
}

void Upload_procedure::log_stop(const QString& why) {
    if (lines_ && lines_sent_ > 0) {
        view_.log(QStringLiteral("Upload stopped after line %1 of %2: ")
                      .arg(lines_sent_)
                      .arg(lines_in_file_) +
                  why);
    } else if (lines_) {
        view_.log(QStringLiteral("Upload stopped before the first line: ") + why);
    } else {
        view_.log(QStringLiteral("Upload stopped: ") + why);
    }
}

QString Upload_procedure::run_time_failure_reason() const {
    if (!checked_.stop_reason().isEmpty()) return checked_.stop_reason();
    if (!link_.port.PortOpen()) return QStringLiteral("the port is not open.");
    if (!lines_) return QStringLiteral("the file cannot be read; ") + file_name_;
    return QStringLiteral("a line could not be sent.");
}

// The clean-up: every ending comes here. Only the upload's own file is closed.
void Upload_procedure::clean_up() {
    make_idle(view_, Transfer_button::update);
    make_idle(view_, Transfer_button::write_eeprom);
    names_.Abort_request = false;
    link_.reply.clear();
    view_.set_command_line_color(colors::kRed);
    lines_.reset();
    file_.reset();
    checked_.clear();
    view_.set_progress(-1);
    view_.set_title(kEndedTitle);
    view_.transfer_ended();
    if (!verify_hint_.isEmpty()) view_.log(std::exchange(verify_hint_, QString()));
}

void Upload_procedure::open_file(const QString& name) {
    lines_.reset();
    file_ = std::make_unique<Tracked_file>(link_.files, name);
    file_name_ = name;
    view_.transfer_started(
        eeprom_busy() ? QStringLiteral("EEPROM write") : QStringLiteral("Update"), name);
    if (!file_->open(QIODevice::ReadOnly)) throw Runtime_failure("cannot open the file to send");
    QIODevice& source = checked_.armed() ? checked_.source(*file_, name) : *file_;
    lines_in_file_ = count_lines(source);
    lines_sent_ = 0;
    progress_fill_ = 0;
    lines_ = std::make_unique<Line_reader>(source);
}

void Upload_procedure::send_start_byte() {
    link_.reply.clear();
    link_.port.Output(QString(QChar(board::kUploadStart)));
}

// The pauses before a line are not cut short: a stop asked for meanwhile is seen after.
void Upload_procedure::pause(int ms) {
    steps_.pause(link_.timer1, ms);
}

bool Upload_procedure::update_busy() const {
    return is_busy(view_, Transfer_button::update);
}

bool Upload_procedure::eeprom_busy() const {
    return is_busy(view_, Transfer_button::write_eeprom);
}

void Upload_procedure::box(const QString& text) {
    link_.dialogs.message_box(text);
    link_.pump.check_ending();
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
