#pragma once
#include <QString>

#include "eeprom/eep_format.h"
#include "transfer/transfer_steps.h"
#include "transfer/transfer_view.h"

class Dump_sink;

// The read's dialogue with the board, from the sign-on to the model's last line: the start
// byte, then one "#" request per 16-byte line; each line is logged as received, checked and
// handed to the sink. The own button is the cancel: the sign-on wait ends once it no longer
// shows "BUSY!", every later step once it shows its idle caption (or the port is gone).
// Every early end is a Transfer_stopped whose why is for the log (empty: a cancel).
class Eeprom_dump {
  public:
    // Read EEP waits for a late line as long as the user lets it; a compare gives up after
    // one reply timeout (the first request then has one too): a silent board gives it
    // nothing to compare.
    enum class Silent_board { wait, give_up };

    Eeprom_dump(const Transfer_link& link, Transfer_view& view, Transfer_button own);

    void run(const eep::Model& model, Dump_sink& sink, Silent_board silent = Silent_board::wait);

  private:
    void start(Dump_sink& sink, Silent_board silent);
    void take_line(int address, Dump_sink& sink);
    void send(const QString& bytes);
    void pause(const Timeout& timeout, int ms);
    bool shows_busy() const;
    bool shows_idle() const;
    bool interrupted() const;  // cancelled, or the port is gone

    Transfer_steps steps_;
    const Transfer_link& link_;
    Transfer_view& view_;
    Transfer_button own_;
};
