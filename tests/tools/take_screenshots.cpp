// Renders the window as a technician sees it, talking to the board simulator, and saves
// three pictures: just after start, with the command examples list open, and with an
// EEPROM read in progress. Meant to run under a virtual X server, so that the pictures
// show the real fonts and colours.
//   vimbo_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "tests/support/list_clicks.h"
#include "tests/support/real_window.h"
#include "tests/support/sim_process.h"

namespace {

int fail(const char* why) {
    std::fprintf(stderr, "vimbo_screenshots: %s\n", why);
    return 1;
}

void run_events_for(int ms) {
    const QDeadlineTimer until(ms);
    while (!until.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The window as the screen shows it; grab() renders the same widgets where no real
// screen is there to read back.
bool save(QWidget& window, const QString& path) {
    QCoreApplication::processEvents();
    QPixmap picture;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        picture = window.screen()->grabWindow(window.winId());
    }
    if (picture.isNull()) picture = window.grab();
    if (!picture.save(path)) return false;
    std::printf("saved %s\n", qPrintable(path));
    return true;
}

void copy_examples(const QDir& from, const QDir& to) {
    for (const QString& name : from.entryList({QStringLiteral("*_cmd.txt")}, QDir::Files)) {
        QFile::copy(from.filePath(name), to.filePath(name));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc != 3) return fail("usage: vimbo_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER");
    // Both folders as absolute paths: the window works in a folder of its own.
    const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    const QDir examples(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());

    QTemporaryDir work;
    if (!work.isValid()) return fail("no temporary folder");
    const QDir folder(work.path());
    copy_examples(examples, folder);
    QFile settings(folder.filePath(QStringLiteral("vimbo.set")));
    if (!settings.open(QIODevice::WriteOnly)) return fail("cannot write vimbo.set");
    settings.write(
        "1    Last selected CommPort Number.\r\n9600    Last selected Baud Rate.\r\n"
        "M35    Last selected GSM Engine.\r\n");
    settings.close();
    Sim_process sim;
    if (!sim.start(work.path(), 1)) return fail("the board simulator did not start");
    QDir::setCurrent(work.path());

    Real_window window;
    Vimbo_form& form = window.form;
    form.show();
    run_events_for(500);
    if (!form.MSerial.PortOpen()) return fail("the port did not open at start");
    if (!save(form, out.filePath(QStringLiteral("screenshot.png")))) return fail("cannot save");

    // The board signs on after Initialize; AT mode, with the examples of the M35 engine.
    QTest::mouseClick(form.Cmd_initialize_vimbo, Qt::LeftButton);
    run_events_for(800);
    QTest::mouseClick(form.Cmd_start_AT_mode, Qt::LeftButton);  // opens the list too
    run_events_for(500);
    if (form.List_cmd_list->isHidden()) return fail("the examples list did not open");
    if (form.List_cmd_list->count() > 3) click_row(form.List_cmd_list, 3);
    run_events_for(300);
    if (!save(form, out.filePath(QStringLiteral("screenshot-examples.png"))))
        return fail("cannot save");
    QTest::mouseClick(form.Cmd_show_cmd_list, Qt::LeftButton);
    run_events_for(300);

    // Read EEP, picture taken a third of the way through the dump.
    bool shot = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
        if (shot || form.List_1->count() < 30) return;
        shot = save(form, out.filePath(QStringLiteral("screenshot-eeprom-read.png")));
    });
    watch.start(20);
    answer_name_then_reset(window.dialogs, form, QStringLiteral("2418.eep"));
    press_with_guard(
        form, [&form] { QTest::mouseClick(form.Cmd_read_eeprom, Qt::LeftButton); }, 60000);
    watch.stop();
    sim.stop();
    return shot ? 0 : fail("the EEPROM read gave no picture");
}
