#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "tests/support/programming_errors.h"

// GUI tests run on the offscreen platform with the style the program uses.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    fail_tests_on_programming_errors();
    return RUN_ALL_TESTS();
}
