#pragma once
#include <QString>
#include <memory>

#include "eeprom/eep_format.h"
#include "transfer/transfer_steps.h"

class Vimbo_form;
class Image_file;

// "Read EEP": asks for the image file's name, waits for the board's sign-on, reads the
// whole EEPROM one 16-byte line per request and writes the .eep backup. It runs inside
// the click handler and waits on the pump, so a second press of the button (its cancel)
// and everything else keep working meanwhile.
class Eeprom_read {
  public:
    explicit Eeprom_read(Vimbo_form& form);
    ~Eeprom_read();
    Eeprom_read(const Eeprom_read&) = delete;
    Eeprom_read& operator=(const Eeprom_read&) = delete;

    void Cmd_read_eeprom_Click();

    static QString name_prompt();
    static const QString kPromptTitle;

  private:
    // A step that stops the read throws Transfer_stopped; its why goes to the log.
    void run(const eep::Model& model, const QString& name);
    void read_steps(const eep::Model& model, const QString& name);
    void take_line(int address);
    void write_lines(const QStringList& lines);
    void send(const QString& bytes);
    void pause(const Timeout& timeout, int ms);
    const Timeout& timer1() const { return steps_.link().timer1; }
    const Timeout& timer2() const { return steps_.link().timer2; }
    void stop_running_read();
    void keep_partial();
    void reset();
    bool shows_busy() const;
    bool shows_idle() const;
    bool interrupted() const;  // cancelled, or the port is gone

    Vimbo_form& f_;
    Transfer_steps steps_;
    std::unique_ptr<Image_file> image_;  // the running read's file, until kept or saved
    bool running_ = false;
    int records_ = 0;
};
