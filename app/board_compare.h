#pragma once
#include <QString>
#include <Qt>

#include "eeprom/eeprom_dump.h"
#include "transfer/transfer_link.h"

class Vimbo_form;
struct Backup_file;

// A right click on "Write EEP": reads the board's EEPROM with the read's own dialogue
// (Eeprom_dump), into memory, and compares it with the backup a left click on Write EEP
// would send now. The verdict goes to the log; when they differ the backup window shows
// where. Write EEP shows "BUSY!" meanwhile: a click on it (either button) stops the compare.
class Board_compare {
  public:
    explicit Board_compare(Vimbo_form& form);

    void Cmd_write_eeprom_MouseDown(Qt::MouseButton button);
    bool running() const { return running_; }

    static QString refusal(const QString& fault);   // "Compare refused: " + what is wrong
    static QString no_result(const QString& file);  // the compare ended without a verdict

  private:
    void run(const Backup_file& backup);
    void stop_running_compare();
    void end();

    Vimbo_form& f_;
    Transfer_link link_;
    Eeprom_dump dump_;
    bool running_ = false;
    bool cancelled_ = false;
};
