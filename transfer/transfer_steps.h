#pragma once
#include <QString>
#include <functional>
#include <vector>

#include "transfer/transfer_link.h"

// Why a transfer ends before its last step. A step throws it; the procedure catches it once,
// where it ends, and tells why in its own way (empty: told already, or nothing to tell).
struct Transfer_stopped {
    QString why;
};
[[noreturn]] inline void stop_transfer(const QString& why = {}) {
    throw Transfer_stopped{why};
}

// While a transfer waits for the board's sign-on, the hint line asks for Initialize.
inline const QString kPressInitializeHint =
    QStringLiteral(" *** Press [ Initialize ] if not yet done! ***");

using Condition = std::function<bool()>;
using Reply_test = std::function<bool(const QString& reply)>;

// The bytes a procedure accepts as the second character of the sign-on line ("#", then one
// of them, then anything).
using Sign_on_bytes = std::vector<char16_t>;
bool is_sign_on(const QString& reply, const Sign_on_bytes& accepted);

// The small steps both transfers are made of. Every wait sleeps on the pump (clicks, ticks
// and received lines run meanwhile) and throws Program_ending once the program ends.
class Transfer_steps {
  public:
    explicit Transfer_steps(const Transfer_link& link) : link_(link) {}
    const Transfer_link& link() const { return link_; }

    // Arms a one-shot timeout: stop the timer, clear its flag, set the interval, start.
    void arm(const Timeout& t, int ms);
    // Stops a timeout and clears its flag: nothing is timed until it is armed again.
    void disarm(const Timeout& t);
    // Waits ms on the timeout; a pause that may be cut short ends once interrupt is true.
    void pause(const Timeout& t, int ms, const Condition& interrupt = {});
    // Waits, without time limit, for a sign-on line in the mailbox (one that came before
    // counts) or for cancel. A cancel, tested first, stops the transfer with nothing to tell.
    void wait_for_sign_on(const Sign_on_bytes& accepted, const Condition& cancel);
    // Waits until the mailbox holds a reply that arrived accepts, cancel is true or the
    // timeout's flag is up (arm it first; the wait itself does not). The caller tells which,
    // in its own order.
    void wait_for_reply(const Timeout& t, const Reply_test& arrived, const Condition& cancel);

  private:
    Transfer_link link_;
};
