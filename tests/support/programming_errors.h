#pragma once
#include <QStringList>

// The test program fails the running test on the warning the window writes when a
// programming error ends a handler or a procedure (base/programming_error.h). Other
// messages go on to Qt's usual output.
void fail_tests_on_programming_errors();

// While one lives, those warnings are expected: collected here instead of failing the test.
class Expected_programming_errors {
  public:
    Expected_programming_errors();
    ~Expected_programming_errors();
    Expected_programming_errors(const Expected_programming_errors&) = delete;
    Expected_programming_errors& operator=(const Expected_programming_errors&) = delete;

    QStringList warnings;
};
