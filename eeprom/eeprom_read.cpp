#include "eeprom/eeprom_read.h"

#include <algorithm>

#include "app/vimbo_form.h"
#include "base/colors.h"
#include "eeprom/dump_line.h"
#include "eeprom/image_file.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "transfer/transfer_steps.h"
#include "upload/transfer_buttons.h"

namespace {
const QString kLinkHint = QStringLiteral(" ??? Is the serial link Ok ???");
const QString kNoReply = QStringLiteral("RQMxx do not responde with in delay");

constexpr int kStartPauseMs = 500;
constexpr int kLinePauseMs = 100;
constexpr int kReplyTimeoutMs = 5000;

const QString kCancelled = QStringLiteral("EEPROM read cancelled.");
const QString kCannotCreate = QStringLiteral("EEPROM read stopped: the file cannot be created.");
const QString kCannotWrite =
    QStringLiteral("EEPROM read stopped: the file cannot be written (disk full?).");
const QString kPortNotOpen = QStringLiteral("EEPROM read stopped: the port is not open.");
const QString kSendFailed = QStringLiteral("EEPROM read stopped: sending to the port failed.");
const QString kPortLost = QStringLiteral("EEPROM read stopped: the port was lost.");
const QString kProgramEnding = QStringLiteral("EEPROM read stopped: the program is closing.");
const QString kUnexpected = QStringLiteral("EEPROM read stopped: unexpected failure.");

QString refusal() {
    return QStringLiteral("EEPROM read refused: the file name must begin with ") +
           eep::accepted_prefixes() + QStringLiteral(" (the microcontroller type).");
}

QString character_error(QChar c) {
    return QStringLiteral("Error Receiving Eeprom Chr! (") + c + QStringLiteral(") Asc") +
           QString::number(c.unicode());
}

QString checksum_error(const QString& line, int data_sum) {
    return QStringLiteral(" Line CheckSum error received! ") + line.mid(33, 2) +
           QStringLiteral(" Should be; ") + QString::number(data_sum, 16).toUpper();
}

// The read takes the board's own sign-on only; the loader's is for the upload.
const Sign_on_bytes kSignOn{board::kSignOnEeprom};

bool is_dump_reply(const QString& reply) {
    return reply.startsWith(QLatin1Char(board::kReplyMark));
}

// Clears running on every way out of a read.
struct Running {
    explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
    ~Running() { flag_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    bool& flag_;
};
}  // namespace

const QString Eeprom_read::kPromptTitle =
    QStringLiteral("Read SMS controller EEPROM parameters...");

Eeprom_read::Eeprom_read(Vimbo_form& form)
    : f_(form),
      steps_(Transfer_link{form.MSerial,
                           form.pump,
                           {*form.Timer1, form.state.Timer1_expired},
                           {*form.Timer2, form.state.Timer2_expired},
                           form.state.Rx_reply}) {
    f_.on(f_.Cmd_read_eeprom, &QPushButton::clicked, [this] { Cmd_read_eeprom_Click(); });
}

Eeprom_read::~Eeprom_read() = default;

QString Eeprom_read::name_prompt() {
    return QStringList{QStringLiteral("Enter EEPROM file name to save..."),
                       QStringLiteral("This file will be the Controller parameters backup!"),
                       QStringLiteral("First [initialize] and then download EEPROM content to "
                                      "disk file; xxxx.eep"),
                       QStringLiteral("Files names as; 2418.eep , 6418.eep , 2428.eep, 7428,,,"),
                       QStringLiteral("First is the microcontroller type; 24xx, 64xx,,,"),
                       QStringLiteral("Second is the GSM type; xx18, xx28,,,"),
                       QStringLiteral("Then (optional) the name of the controller xxxxname.eep")}
        .join(QStringLiteral("\r\n"));
}

bool Eeprom_read::shows_busy() const {
    return transfer_buttons::is_busy(f_.Cmd_read_eeprom);
}
bool Eeprom_read::shows_idle() const {
    return f_.Cmd_read_eeprom->caption() == transfer_buttons::kReadEepIdle;
}

void Eeprom_read::Cmd_read_eeprom_Click() {
    // 1. Not while an upload shows it is running.
    if (transfer_buttons::is_busy(f_.Cmd_write_eeprom) ||
        transfer_buttons::is_busy(f_.Cmd_update_vimbo)) {
        return;
    }
    Form_state& s = f_.state;

    // 2.-4. The name; Cancel (or an empty name) resets, and stops a running read too.
    if (s.Eeprom_file.isEmpty()) s.Eeprom_file = eep::kDefaultName;
    const QString answer = f_.dialogs().input_box(name_prompt(), kPromptTitle, s.Eeprom_file);
    f_.pump.check_ending();
    if (answer.isEmpty()) {
        stop_running_read();
        reset();
        return;
    }

    // 5.-6. The name is taken as typed; its first two characters give the model.
    s.Eeprom_file = answer;
    f_.set_title(answer);
    const eep::Model* model = eep::model_for_name(answer);

    // 7. A press while a read runs is its cancel: the board is told, the read stops.
    if (shows_busy()) {
        try {
            f_.MSerial.Output(QString(QChar(board::kDumpCancel)));
        } catch (const Runtime_failure&) {
            // No port: the read stops all the same.
        }
        stop_running_read();
        reset();
        return;
    }

    // A name without a known model would never end by count: refuse it before anything
    // is created or sent.
    if (!model) {
        f_.log(refusal());
        return;
    }
    run(*model, answer);
}

void Eeprom_read::run(const eep::Model& model, const QString& name) {
    // 8. Busy look and the reminder to initialize the board.
    transfer_buttons::make_busy(f_.Cmd_read_eeprom, colors::kRed);
    f_.set_hint(kPressInitializeHint);
    const Running running(running_);
    records_ = 0;
    try {
        read_steps(model, name);
    } catch (const Transfer_stopped& stop) {
        if (!stop.why.isEmpty()) f_.log(stop.why);
    } catch (const Program_ending&) {
        // Exit from inside a wait: keep what arrived, never the final name.
        f_.log(kProgramEnding);
        reset();
        throw;
    } catch (const std::exception&) {
        f_.log(kUnexpected);
    }
    reset();
}

// Steps 9 to 17: sign-on, dump start, the line loop and the finish.
void Eeprom_read::read_steps(const eep::Model& model, const QString& name) {
    Form_state& s = f_.state;

    // 9. Wait without time limit for the sign-on (one already received counts) or a cancel.
    steps_.wait_for_sign_on(kSignOn, [this] { return !shows_busy(); });

    // 10. The image goes to a temporary file until it is complete.
    s.Rx_reply.clear();
    if (!f_.MSerial.PortOpen()) stop_transfer(kPortNotOpen);
    image_ = std::make_unique<Image_file>(f_.files, name);
    if (!image_->create()) stop_transfer(kCannotCreate);
    f_.Label1->set_progress(0);

    // 11.-14. Start byte and first request, each after a pause; the first request has no
    // reply timer.
    pause(timer1(), kStartPauseMs);
    s.Rx_reply.clear();
    send(QString(QChar(board::kEepromDumpStart)));
    pause(timer1(), kStartPauseMs);
    steps_.disarm(timer1());
    send(QString(QLatin1Char(board::kDumpRequest)));

    // 15.-16. One dump line per request, until the model's last address.
    for (int address = 0;;) {
        // Wait for the next dump line, a cancel, the reply timeout or the loss of the port.
        steps_.wait_for_reply(timer1(), is_dump_reply, [this] { return interrupted(); });
        if (shows_idle()) stop_transfer();
        if (is_dump_reply(s.Rx_reply)) {
            take_line(address);
            address += eep::kRecordBytes;
            f_.Label1->set_progress(double(address) / model.bytes);
            if (address >= model.bytes) break;
            pause(timer2(), kLinePauseMs);
            steps_.arm(timer1(), kReplyTimeoutMs);
            send(QString(QLatin1Char(board::kDumpRequest)));
        } else if (s.Timer1_expired) {
            // Told once per expiry; a line that comes later is still taken.
            f_.log(kNoReply);
            f_.set_hint(kLinkHint);
            s.Timer1_expired = false;
        } else {
            stop_transfer(kPortLost);
        }
    }

    // 17. Trailer, then the finished image takes the name.
    write_lines(eep::end_lines());
    f_.log(QStringLiteral("Saving; ") + QString::number(model.bytes) +
           QStringLiteral(" Bytes to Disk File."));
    write_lines(eep::model_lines(model, QDateTime::currentDateTime(), QLocale::system()));
    if (!image_->commit()) {
        stop_transfer(QStringLiteral("EEPROM read stopped: the backup cannot be saved as ") + name +
                      QStringLiteral("."));
    }
    image_.reset();
    f_.set_hint(QStringLiteral("Done and saved to; ") + s.Eeprom_file);
}

// 16. One dump line: logged as received, refused unless whole and right, else recorded.
void Eeprom_read::take_line(int address) {
    Form_state& s = f_.state;
    const QString line = s.Rx_reply;
    s.Rx_reply.clear();
    f_.log(line);
    const eep::Dump_line_check check = eep::check_dump_line(line);
    if (!check.well_formed) stop_transfer(character_error(check.offending));
    if (!check.sum_matches()) stop_transfer(checksum_error(line, check.data_sum));
    const QString record =
        eep::data_record(address, QStringView(line).mid(1, eep::kRecordDataChars));
    write_lines({record});
    ++records_;
    f_.set_hint(record);
}

void Eeprom_read::write_lines(const QStringList& lines) {
    const bool written =
        image_ && std::all_of(lines.begin(), lines.end(),
                              [this](const QString& line) { return image_->write_line(line); });
    if (!written) stop_transfer(kCannotWrite);
}

void Eeprom_read::send(const QString& bytes) {
    try {
        f_.MSerial.Output(bytes);
    } catch (const Runtime_failure&) {
        stop_transfer(f_.MSerial.PortOpen() ? kSendFailed : kPortLost);
    }
}

// A pause ends early on a cancel or the loss of the port, so that nothing more is sent
// to a board that was told to stop.
void Eeprom_read::pause(const Timeout& timeout, int ms) {
    steps_.pause(timeout, ms, [this] { return interrupted(); });
    if (shows_idle()) stop_transfer();
    if (!f_.MSerial.PortOpen()) stop_transfer(kPortLost);
}

bool Eeprom_read::interrupted() const {
    return shows_idle() || !f_.MSerial.PortOpen();
}

// A press (Cancel or a name) while a read runs: the read notices at its next look at the
// button; its file is kept as partial now.
void Eeprom_read::stop_running_read() {
    if (!running_) return;
    f_.log(kCancelled);
    keep_partial();
}

void Eeprom_read::keep_partial() {
    if (!image_) return;
    const std::unique_ptr<Image_file> image = std::move(image_);
    const QString kept = image->keep_partial();
    if (!kept.isEmpty()) {
        f_.log(QString::number(records_) +
               (records_ == 1 ? QStringLiteral(" record kept in; ")
                              : QStringLiteral(" records kept in; ")) +
               kept);
    }
}

// Every way out but the busy guard: the newest log line selected, the read's own file
// closed (other files stay as they are), the button idle.
void Eeprom_read::reset() {
    f_.List_1->set_selected_index(f_.List_1->count() - 1);
    keep_partial();
    f_.Label1->set_progress(-1);
    transfer_buttons::make_idle(f_.Cmd_read_eeprom, transfer_buttons::kReadEepIdle);
}
