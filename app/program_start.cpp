#include "app/program_start.h"

#include <QApplication>
#include <QStyleFactory>

#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "serial/qt_port_backend.h"

int run_program(int argc, char* argv[], QObject* window_watcher) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("vimbo"));
    Qt_event_services events;
    Vimbo_form form({events, std::make_unique<Qt_port_backend>(), nullptr, nullptr,
                     [] { QCoreApplication::exit(0); }});
    if (window_watcher) form.installEventFilter(window_watcher);
    form.show();
    return QApplication::exec();
}
