#pragma once

class Vimbo_form;

// Everything the board sends passes here, one character per notification: lines are
// assembled at CR (LF is dropped); "#" lines go to the mailbox, all others to the log.
// Also the tick handlers of the two one-shot timeouts.
class Receiver {
  public:
    explicit Receiver(Vimbo_form& form);

    void MSerial_OnComm();
    void Timer1_Timer();
    void Timer2_Timer();

    // A line that never ends (noise, wrong rate) is ended here, as if a CR had arrived.
    static constexpr int kMaxPartialLine = 64 * 1024;

  private:
    void end_of_line();
    Vimbo_form& f_;
};
