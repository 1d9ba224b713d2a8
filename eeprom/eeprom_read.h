#pragma once
#include <QString>

#include "eeprom/eep_format.h"
#include "eeprom/eeprom_dump.h"
#include "transfer/transfer_link.h"

class Transfer_view;
class Dump_sink;

// "Read EEP": asks for the image file's name, waits for the board's sign-on, reads the
// whole EEPROM one 16-byte line per request and writes the .eep backup. It runs inside
// the click handler and waits on the pump, so a second press of the button (its cancel)
// and everything else keep working meanwhile.
class Eeprom_read {
  public:
    // eeprom_file: the window's Eeprom_file, the name last given here.
    Eeprom_read(const Transfer_link& link, Transfer_view& view, QString& eeprom_file);
    Eeprom_read(const Eeprom_read&) = delete;
    Eeprom_read& operator=(const Eeprom_read&) = delete;

    void Cmd_read_eeprom_Click();

    static QString name_prompt();
    static const QString kPromptTitle;

  private:
    void run(const eep::Model& model, const QString& name);
    void stop_running_read();
    void reset();

    Transfer_link link_;
    Transfer_view& view_;
    QString& eeprom_file_;
    Eeprom_dump dump_;
    Dump_sink* running_sink_ = nullptr;  // the running read's file, until kept or saved
};
