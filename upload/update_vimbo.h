#pragma once
#include <QString>
#include <memory>

#include "transfer/transfer_steps.h"
#include "transfer/transfer_view.h"
#include "upload/checked_image.h"

class Tracked_file;
class Line_reader;

// The window's names the upload reads and fills in, and the stop request of the busy
// buttons.
struct Upload_names {
    QString& Chosen_file;
    QString& Eeprom_file;
    bool& Abort_request;
};

// Sends a text file into the board, one line per request of its loader. Two uses: an update
// file, with UPDATE as the busy button, and an EEPROM image, with Write EEP as the busy
// button (its start command makes it busy before the call). Which use runs is read from the
// busy captions at each choice.
class Upload_procedure {
  public:
    Upload_procedure(const Transfer_link& link, Transfer_view& view, const Upload_names& names);
    ~Upload_procedure();
    Upload_procedure(const Upload_procedure&) = delete;
    Upload_procedure& operator=(const Upload_procedure&) = delete;

    // Runs the whole transfer inside the calling click handler and returns once it has
    // ended, whatever the outcome; the log, hint line, title and message boxes tell it.
    void Update_vimbo();

    // Message box texts.
    static QString header_error_text();     // "#?"
    static QString checksum_error_text();   // "#!"
    static QString chip_type_error_text();  // "#*"
    static QString update_failed_text();    // any other failure of an update
    static QString eeprom_failed_text();    // any other failure of an EEPROM write

    // The backup Write EEP checked; the EEPROM use sends exactly its bytes.
    Checked_image& checked() { return checked_; }

  private:
    void transfer();
    void announce();
    void sign_on_wait();
    void open_and_start();
    void hardware_id_wait();
    void show_writing();
    void first_pause();
    bool next_line_asked();
    void next_line();
    void show_progress();
    // Logs why, shows its box (the failure message when none is given) and stops.
    [[noreturn]] void stop_with_box(const QString& why, const QString& box_text = {});
    void failure_message();
    // The log keeps why a transfer ended without success, after its box is gone.
    void log_stop(const QString& why);
    QString run_time_failure_reason() const;
    void clean_up();

    void open_file(const QString& name);
    void send_start_byte();
    void pause(int ms);
    void box(const QString& text);
    bool update_busy() const;
    bool eeprom_busy() const;

    Transfer_steps steps_;
    const Transfer_link& link_;
    Transfer_view& view_;
    Upload_names names_;
    std::unique_ptr<Tracked_file> file_;  // the file being sent; only the upload closes it
    std::unique_ptr<Line_reader> lines_;
    QString file_name_;
    int lines_in_file_ = 0;
    int lines_sent_ = 0;
    int progress_fill_ = 0;  // steps of the progress fill shown so far
    Checked_image checked_;
    QString verify_hint_;  // logged once the transfer has ended, so the end names the "#@"
};
