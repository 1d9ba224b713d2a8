#pragma once
#include <exception>

// A failure that is no run-time failure of the port or a file (Runtime_failure) is a bug.
// Where one ends a handler or a procedure it is told once as a Qt warning naming the place,
// so that it shows on a terminal; the tests fail on it.
void warn_programming_error(const char* where, const std::exception& e);

// Every such warning begins with this.
inline constexpr char kProgrammingErrorWarning[] = "Programming error in ";
