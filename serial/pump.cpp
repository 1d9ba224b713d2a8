#include "serial/pump.h"

#include "serial/failures.h"

void Pump::check_ending() const {
    if (ending_) throw Program_ending{};
}

void Pump::wait_until(const std::function<bool()>& done) {
    check_ending();
    while (!done()) {
        events_.wait_for_events();
        check_ending();
    }
}

void Pump::yield() {
    check_ending();
    bool ran = false;
    events_.post([&ran] { ran = true; });
    while (!ran) {
        events_.wait_for_events();
        check_ending();
    }
}
