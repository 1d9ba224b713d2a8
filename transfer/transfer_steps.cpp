#include "transfer/transfer_steps.h"

#include <algorithm>

#include "serial/event_services.h"
#include "serial/pump.h"

bool is_sign_on(const QString& reply, const Sign_on_bytes& accepted) {
    return reply.size() >= 2 &&
           std::find(accepted.begin(), accepted.end(), reply[1].unicode()) != accepted.end();
}

void Transfer_steps::arm(const Timeout& t, int ms) {
    t.timer.set_enabled(false);
    t.expired = false;
    t.timer.set_interval(ms);
    t.timer.set_enabled(true);
}

void Transfer_steps::disarm(const Timeout& t) {
    t.timer.set_enabled(false);
    t.expired = false;
}

void Transfer_steps::pause(const Timeout& t, int ms, const Condition& interrupt) {
    arm(t, ms);
    link_.pump.wait_until([&] { return t.expired || (interrupt && interrupt()); });
}

void Transfer_steps::wait_for_sign_on(const Sign_on_bytes& accepted, const Condition& cancel) {
    const QString& reply = link_.reply;
    link_.pump.wait_until([&] { return cancel() || is_sign_on(reply, accepted); });
    if (cancel()) stop_transfer();
}

void Transfer_steps::wait_for_reply(const Timeout& t, const Reply_test& arrived,
                                    const Condition& cancel) {
    const QString& reply = link_.reply;
    link_.pump.wait_until([&] { return arrived(reply) || cancel() || t.expired; });
}
