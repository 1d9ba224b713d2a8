#include "eeprom/eeprom_dump.h"

#include "eeprom/dump_line.h"
#include "eeprom/dump_sink.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "serial/serial_control.h"
#include "transfer/transfer_buttons.h"

namespace {
const QString kLinkHint = QStringLiteral(" ??? Is the serial link Ok ???");
const QString kNoReply = QStringLiteral("RQMxx do not responde with in delay");

constexpr int kStartPauseMs = 500;
constexpr int kLinePauseMs = 100;
constexpr int kReplyTimeoutMs = 5000;

const QString kPortNotOpen = QStringLiteral("EEPROM read stopped: the port is not open.");
const QString kSendFailed = QStringLiteral("EEPROM read stopped: sending to the port failed.");
const QString kPortLost = QStringLiteral("EEPROM read stopped: the port was lost.");
const QString kSilent =
    QStringLiteral("EEPROM read stopped: the board did not answer within 5 seconds.");

// The read takes the board's own sign-on only; the loader's is for the upload.
const Sign_on_bytes kSignOn{board::kSignOnEeprom};

bool is_dump_reply(const QString& reply) {
    return reply.startsWith(QLatin1Char(board::kReplyMark));
}

QString character_error(QChar c) {
    return QStringLiteral("Error Receiving Eeprom Chr! (") + c + QStringLiteral(") Asc") +
           QString::number(c.unicode());
}

QString checksum_error(const QString& line, int data_sum) {
    return QStringLiteral(" Line CheckSum error received! ") + line.mid(33, 2) +
           QStringLiteral(" Should be; ") + QString::number(data_sum, 16).toUpper();
}
}  // namespace

Eeprom_dump::Eeprom_dump(const Transfer_link& link, Transfer_view& view, Transfer_button own)
    : steps_(link), link_(steps_.link()), view_(view), own_(own) {}

bool Eeprom_dump::shows_busy() const {
    return transfer_buttons::is_busy(view_, own_);
}

bool Eeprom_dump::shows_idle() const {
    return transfer_buttons::shows_idle(view_, own_);
}

bool Eeprom_dump::interrupted() const {
    return shows_idle() || !link_.port.PortOpen();
}

void Eeprom_dump::run(const eep::Model& model, Dump_sink& sink, Silent_board silent) {
    // Without time limit: the sign-on (one already received counts), or a cancel.
    steps_.wait_for_sign_on(kSignOn, [this] { return !shows_busy(); });
    start(sink, silent);

    // One dump line per request, until the model's last address. A request after the first
    // has a reply timer; its expiry is told once and the read goes on waiting.
    for (int address = 0;;) {
        steps_.wait_for_reply(link_.timer1, is_dump_reply, [this] { return interrupted(); });
        if (shows_idle()) stop_transfer();
        if (is_dump_reply(link_.reply)) {
            take_line(address, sink);
            address += eep::kRecordBytes;
            view_.set_progress(double(address) / model.bytes);
            if (address >= model.bytes) break;
            pause(link_.timer2, kLinePauseMs);
            steps_.arm(link_.timer1, kReplyTimeoutMs);
            send(QString(QLatin1Char(board::kDumpRequest)));
        } else if (link_.timer1.expired) {
            view_.log(kNoReply);
            view_.set_hint(kLinkHint);
            link_.timer1.expired = false;
            if (silent == Silent_board::give_up) stop_transfer(kSilent);
        } else {
            stop_transfer(kPortLost);
        }
    }
    sink.finish(model);
}

// The sink is opened, then the start byte and the first request go, each after a pause; the
// first request has no reply timer unless a silent board ends the dump.
void Eeprom_dump::start(Dump_sink& sink, Silent_board silent) {
    link_.reply.clear();
    if (!link_.port.PortOpen()) stop_transfer(kPortNotOpen);
    sink.open();
    view_.set_progress(0);
    pause(link_.timer1, kStartPauseMs);
    link_.reply.clear();
    send(QString(QChar(board::kEepromDumpStart)));
    pause(link_.timer1, kStartPauseMs);
    steps_.disarm(link_.timer1);
    if (silent == Silent_board::give_up) steps_.arm(link_.timer1, kReplyTimeoutMs);
    send(QString(QLatin1Char(board::kDumpRequest)));
}

// One dump line: logged as received, refused unless whole and right, else handed on.
void Eeprom_dump::take_line(int address, Dump_sink& sink) {
    const QString line = link_.reply;
    link_.reply.clear();
    view_.log(line);
    const eep::Dump_line_check check = eep::check_dump_line(line);
    if (!check.well_formed) stop_transfer(character_error(check.offending));
    if (!check.sum_matches()) stop_transfer(checksum_error(line, check.data_sum));
    sink.take(address, QStringView(line).mid(1, eep::kRecordDataChars));
}

void Eeprom_dump::send(const QString& bytes) {
    try {
        link_.port.Output(bytes);
    } catch (const Runtime_failure&) {
        stop_transfer(link_.port.PortOpen() ? kSendFailed : kPortLost);
    }
}

// A pause ends early on a cancel or the loss of the port, so that nothing more is sent to a
// board that was told to stop.
void Eeprom_dump::pause(const Timeout& timeout, int ms) {
    steps_.pause(timeout, ms, [this] { return interrupted(); });
    if (shows_idle()) stop_transfer();
    if (!link_.port.PortOpen()) stop_transfer(kPortLost);
}
