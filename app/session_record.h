#pragma once
#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

class Record_disk;

// The session record: everything that passed the serial line and every line the program
// told the user, appended as it happens to logs/vimbo-YYYY-MM-DD.log in the working folder
// (a new file after local midnight). Each line reaches the operating system when it is
// written, so a crash loses nothing already recorded; a transfer's end and the exit also
// make it reach the disk.
//
// When the folder or the file cannot be written, the record stops once, says why through
// on_stopped, and the program goes on without it. Switching it on again tries afresh.
class Session_record {
  public:
    // wall_ms: milliseconds since the epoch; the local date and time are taken from it.
    Session_record(const QString& working_folder, std::function<std::int64_t()> wall_ms,
                   Record_disk& disk, bool on);

    void received(const QString& line);  // a line the receive handler completed
    void sent(const QString& text);      // the text of one output call
    void told(const QString& line);      // a line told to the user: the log, a final hint
    void note(const QString& text);      // an event of the program's own

    // A transfer's start and end; the end says how it ended: the transfer's last message.
    void transfer_started(const QString& what, const QString& file);
    void transfer_ended();
    // The exit: the last line, then everything is on the disk and the file closed for good.
    void program_exit();

    bool on() const { return on_; }
    bool recording() const { return on_ && !stopped_; }
    // The user's switch (remembered by the caller). On again after a stop tries afresh.
    void set_on(bool on);

    QString folder() const { return folder_; }
    QString file_for(const QDate& day) const;
    QString today_file() const;

    // Why the record stopped, as the one line for the log.
    std::function<void(const QString&)> on_stopped;

  private:
    void write(char mark, const QString& text);
    bool open_for(const QDate& day);
    void stop(const QString& why);

    QString folder_;
    std::function<std::int64_t()> wall_ms_;
    Record_disk& disk_;
    bool on_ = true;
    bool stopped_ = false;
    bool ended_ = false;     // the program has exited
    QDate open_day_;         // the day of the file open now; invalid when none is
    QString transfer_;       // the running transfer, "what, file"; empty when none runs
    QString transfer_last_;  // its last message so far
};
