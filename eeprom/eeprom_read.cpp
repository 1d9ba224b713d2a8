#include "eeprom/eeprom_read.h"

#include <QStringList>

#include "base/colors.h"
#include "base/dialogs.h"
#include "base/programming_error.h"
#include "eeprom/eep_file_sink.h"
#include "serial/board_dialogue.h"
#include "serial/failures.h"
#include "serial/pump.h"
#include "serial/serial_control.h"
#include "transfer/transfer_buttons.h"

namespace {
constexpr Transfer_button kOwn = Transfer_button::read_eeprom;

const QString kCancelled = QStringLiteral("EEPROM read cancelled.");
const QString kProgramEnding = QStringLiteral("EEPROM read stopped: the program is closing.");
const QString kUnexpected = QStringLiteral("EEPROM read stopped: unexpected failure.");

QString refusal() {
    return QStringLiteral("EEPROM read refused: the file name must begin with ") +
           eep::accepted_prefixes() + QStringLiteral(" (the microcontroller type).");
}

// Points at the running read's sink for as long as the read runs.
struct Running {
    Running(Dump_sink*& slot, Dump_sink& sink) : slot_(slot), before_(slot) { slot_ = &sink; }
    ~Running() { slot_ = before_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    Dump_sink*& slot_;
    Dump_sink* before_;
};
}  // namespace

const QString Eeprom_read::kPromptTitle =
    QStringLiteral("Read SMS controller EEPROM parameters...");

Eeprom_read::Eeprom_read(const Transfer_link& link, Transfer_view& view, QString& eeprom_file)
    : link_(link), view_(view), eeprom_file_(eeprom_file), dump_(link_, view, kOwn) {}

QString Eeprom_read::name_prompt() {
    return QStringList{
        QStringLiteral("Enter EEPROM file name to save..."),
        QStringLiteral("This file will be the Controller parameters backup!"),
        QStringLiteral(
            "First [initialize] and then download EEPROM content to disk file; xxxx.eep"),
        QStringLiteral("Files names as; 2418.eep , 6418.eep , 2428.eep, 7428,,,"),
        QStringLiteral("First is the microcontroller type; 24xx, 64xx,,,"),
        QStringLiteral("Second is the GSM type; xx18, xx28,,,"),
        QStringLiteral("Then (optional) the name of the controller xxxxname.eep")}
        .join(QStringLiteral("\r\n"));
}

void Eeprom_read::Cmd_read_eeprom_Click() {
    // Not while an upload shows it is running.
    if (transfer_buttons::another_is_busy(view_, kOwn)) return;

    // The name; Cancel (or an empty name) resets, and stops a running read too.
    if (eeprom_file_.isEmpty()) eeprom_file_ = eep::kDefaultName;
    const QString answer = link_.dialogs.input_box(name_prompt(), kPromptTitle, eeprom_file_);
    link_.pump.check_ending();
    if (answer.isEmpty()) {
        stop_running_read();
        reset();
        return;
    }

    // The name is taken as typed; its first two characters give the model.
    eeprom_file_ = answer;
    view_.set_title(answer);
    const eep::Model* model = eep::model_for_name(answer);

    // A press while a read runs is its cancel: the board is told, the read stops.
    if (transfer_buttons::is_busy(view_, kOwn)) {
        try {
            link_.port.Output(QString(QChar(board::kDumpCancel)));
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
        view_.log(refusal());
        return;
    }
    run(*model, answer);
}

void Eeprom_read::run(const eep::Model& model, const QString& name) {
    // Busy look and the reminder to initialize the board.
    transfer_buttons::make_busy(view_, kOwn, colors::kRed);
    view_.set_hint(kPressInitializeHint);
    Eep_file_sink sink(link_.files, name, view_);
    const Transfer_mark mark(view_, QStringLiteral("EEPROM read"), name);
    const Running running(running_sink_, sink);
    try {
        dump_.run(model, sink);
    } catch (const Transfer_stopped& stop) {
        if (!stop.why.isEmpty()) view_.log(stop.why);
    } catch (const Program_ending&) {
        // Exit from inside a wait: keep what arrived, never the final name.
        view_.log(kProgramEnding);
        reset();
        throw;
    } catch (const Runtime_failure&) {
        view_.log(kUnexpected);
    } catch (const std::exception& e) {
        warn_programming_error("Cmd_read_eeprom_Click", e);
        view_.log(kUnexpected);
    }
    reset();
}

// A press (Cancel or a name) while a read runs: the read notices at its next look at the
// button; its file is kept as partial now.
void Eeprom_read::stop_running_read() {
    if (!running_sink_) return;
    view_.log(kCancelled);
    running_sink_->abandon();
}

// Every way out but the busy guard: the newest log line selected, the read's own file
// closed (other files stay as they are), the button idle.
void Eeprom_read::reset() {
    view_.select_last_log_line();
    if (running_sink_) running_sink_->abandon();
    view_.set_progress(-1);
    transfer_buttons::make_idle(view_, kOwn);
}
