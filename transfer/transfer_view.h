#pragma once
#include <QColor>
#include <QString>

// The three transfer buttons. Their captions are the only lock between the transfers: a
// running one shows "BUSY!" on its button, and each start refuses while another shows it.
enum class Transfer_button { read_eeprom, write_eeprom, update };

// What a transfer shows: the window's status conventions and the look of the transfer
// buttons. The window implements it on its controls; a caption read here is the caption the
// button shows, so a click and a running transfer see the same lock.
class Transfer_view {
  public:
    virtual ~Transfer_view() = default;
    // Appends to the log and selects the newest line.
    virtual void log(const QString& text) = 0;
    virtual void select_last_log_line() = 0;
    virtual void set_hint(const QString& text) = 0;
    virtual void set_title(const QString& text) = 0;
    // Fills this share (0..1) of the hint line from the left; a negative share ends it.
    virtual void set_progress(double share) = 0;
    virtual QString caption(Transfer_button button) const = 0;
    virtual void set_caption(Transfer_button button, const QString& caption) = 0;
    virtual void set_color(Transfer_button button, const QColor& color) = 0;
    // The back colour of the command line, which records the console mode.
    virtual void set_command_line_color(const QColor& color) = 0;
    // The session record: a transfer's start (which, which file) and end, and a line the
    // user is told outside the log.
    virtual void transfer_started(const QString& /*what*/, const QString& /*file*/) {}
    virtual void transfer_ended() {}
    virtual void told(const QString& /*line*/) {}
};

// Marks a transfer in the session record for as long as it lives: its start now, its end on
// every way out.
class Transfer_mark {
  public:
    Transfer_mark(Transfer_view& view, const QString& what, const QString& file) : view_(view) {
        view_.transfer_started(what, file);
    }
    ~Transfer_mark() { view_.transfer_ended(); }
    Transfer_mark(const Transfer_mark&) = delete;
    Transfer_mark& operator=(const Transfer_mark&) = delete;

  private:
    Transfer_view& view_;
};
