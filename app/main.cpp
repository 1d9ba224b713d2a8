#include <QApplication>
#include <QStyleFactory>

#include "app/qt_event_services.h"
#include "app/vimbo_form.h"
#include "serial/qt_port_backend.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("vimbo"));
    Qt_event_services events;
    Vimbo_form form({events, std::make_unique<Qt_port_backend>(), nullptr, nullptr,
                     [] { QCoreApplication::exit(0); }});
    form.show();
    return QApplication::exec();
}
