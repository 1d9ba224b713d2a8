#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

// Benchmarks run the real window on the offscreen platform unless a display is named.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The user's own settings of the program stay untouched: a folder of this run's own.
    const QTemporaryDir user_settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, user_settings.path());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
