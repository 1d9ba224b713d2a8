#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include "tests/support/programming_errors.h"

// GUI tests run on the offscreen platform with the style the program uses.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The user's own settings of the program stay untouched: a folder of this run's own.
    const QTemporaryDir user_settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, user_settings.path());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    fail_tests_on_programming_errors();
    return RUN_ALL_TESTS();
}
