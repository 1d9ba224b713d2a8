#include "base/programming_error.h"

#include <QtGlobal>

void warn_programming_error(const char* where, const std::exception& e) {
    qWarning("%s%s: %s", kProgrammingErrorWarning, where ? where : "a handler", e.what());
}
