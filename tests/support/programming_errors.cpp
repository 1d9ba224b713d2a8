#include "tests/support/programming_errors.h"

#include <gtest/gtest.h>

#include <QtGlobal>
#include <cstdio>

#include "base/programming_error.h"

namespace {
QtMessageHandler qt_output = nullptr;
Expected_programming_errors* expected = nullptr;

void on_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String(kProgrammingErrorWarning))) {
        if (expected) {
            expected->warnings.append(text);
        } else {
            ADD_FAILURE() << text.toStdString();
        }
        return;
    }
    if (qt_output) {
        qt_output(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}
}  // namespace

void fail_tests_on_programming_errors() {
    qt_output = qInstallMessageHandler(on_message);
}

Expected_programming_errors::Expected_programming_errors() {
    expected = this;
}

Expected_programming_errors::~Expected_programming_errors() {
    expected = nullptr;
}
