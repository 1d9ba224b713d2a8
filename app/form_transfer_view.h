#pragma once
#include "transfer/transfer_link.h"
#include "transfer/transfer_view.h"

class Vimbo_form;
class Vb_button;

// The window as the transfers see it: the status conventions on the title, Label1 and
// List_1, and the three transfer buttons.
class Form_transfer_view : public Transfer_view {
  public:
    explicit Form_transfer_view(Vimbo_form& form) : f_(form) {}
    void log(const QString& text) override;
    void select_last_log_line() override;
    void set_hint(const QString& text) override;
    void set_title(const QString& text) override;
    void set_progress(double share) override;
    QString caption(Transfer_button button) const override;
    void set_caption(Transfer_button button, const QString& caption) override;
    void set_color(Transfer_button button, const QColor& color) override;
    void set_command_line_color(const QColor& color) override;
    void transfer_started(const QString& what, const QString& file) override;
    void transfer_ended() override;
    void told(const QString& line) override;

  private:
    Vb_button* button(Transfer_button which) const;
    Vimbo_form& f_;
};

// The window's link to the board: its port, pump, timers, mailbox, files and dialogs.
Transfer_link form_transfer_link(Vimbo_form& form);
