#pragma once
#include <stdexcept>
#include <string>

// A run-time failure of a step (port refused, file not writable, write on a closed port...).
// Handlers end at the first one and leave done what was done.
struct Runtime_failure : std::runtime_error {
    explicit Runtime_failure(const std::string& what) : std::runtime_error(what) {}
};

// Thrown out of a wait once the program is ending, so that no further step of a
// waiting procedure runs. Caught only at the event-handler boundary.
struct Program_ending {};
