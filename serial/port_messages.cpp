#include "serial/port_messages.h"

#include <QDir>
#include <QFileInfo>

#include "serial/number_text.h"
#include "serial/serial_control.h"

namespace {
const QString kChoose = QStringLiteral("Right-click [Com/usb] to choose the converter.");

QString com_is(const Refused_opening& r) {
    return QStringLiteral("COM ") + r.com + QStringLiteral(" = ") + r.device + QStringLiteral(": ");
}
}  // namespace

Refused_opening gather_refusal(const QString& com_number, const QString& baud_rate,
                               const Serial_control& serial) {
    Refused_opening r;
    r.com = com_number;
    r.rate = baud_rate;
    const double port = round_half_even(leading_number(com_number));
    if (!Serial_control::usable_rate(baud_rate.toInt())) {
        r.step = Refused_opening::Step::rate;
        return r;
    }
    if (port < 1 || port > 16) {
        r.step = Refused_opening::Step::number;
        return r;
    }
    r.com = QString::number(int(port));
    r.device = serial.Device();
    r.error = serial.Refusal();
#ifndef Q_OS_WIN
    const QFileInfo link(QDir::current().filePath(QStringLiteral("com") + r.com));
    if (link.isSymLink()) {
        r.link = link.fileName();
        r.link_target = link.symLinkTarget();
        r.dangling = !link.exists();
    }
    if (r.error.kind == Open_error::Kind::permission) r.group = QFileInfo(r.device).group();
    if (r.error.kind == Open_error::Kind::busy) r.holder = find_port_holder(r.device);
#endif
    return r;
}

QString refusal_line(const Refused_opening& r) {
    using Kind = Open_error::Kind;
    switch (r.step) {
        case Refused_opening::Step::rate:
            return QStringLiteral(
                       "COM %1: %2 b/s is not a rate the port can use. Type 2400 to "
                       "115200 or double-click the box.")
                .arg(r.com, r.rate.isEmpty() ? QStringLiteral("0") : r.rate);
        case Refused_opening::Step::number:
            return QStringLiteral(
                       "COM %1: there is no such port. Type a number 1 to 16, or "
                       "right-click [Com/usb] to choose the converter.")
                .arg(r.com.isEmpty() ? QStringLiteral("0") : r.com);
        case Refused_opening::Step::device:
            break;
    }
    if (r.dangling) {
        return QStringLiteral("COM ") + r.com + QStringLiteral(" = ") + r.link +
               QStringLiteral(" -> ") + r.link_target + QStringLiteral(": not plugged in. ") +
               kChoose;
    }
    switch (r.error.kind) {
        case Kind::no_device:
            return com_is(r) + QStringLiteral("no such device. ") + kChoose;
        case Kind::permission: {
            const QString group = r.group.isEmpty() ? QStringLiteral("dialout") : r.group;
            return com_is(r) +
                   QStringLiteral("permission denied, the device belongs to the group ") + group +
                   QStringLiteral(": add your user to the group ") + group +
                   QStringLiteral(" (sudo adduser $USER ") + group +
                   QStringLiteral(") and log in again.");
        }
        case Kind::busy: {
            const QString by =
                r.holder ? QStringLiteral("%1 (pid %2)").arg(r.holder->program).arg(r.holder->pid)
                         : QStringLiteral("another program");
            return com_is(r) + QStringLiteral("in use by ") + by +
                   QStringLiteral(". Close it and click [Com/usb] again.");
        }
        case Kind::none:
        case Kind::other:
            break;
    }
    const QString text =
        r.error.text.isEmpty() ? QStringLiteral("the port cannot be opened") : r.error.text;
    return com_is(r) + text + QStringLiteral(".");
}

QString windows_help_text() {
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    return QStringLiteral("Use command [Read infos] and see chapiter; USB Converter.") + crlf2 +
           QStringLiteral(
               "By problem open the Windows Control Panel, go to [System], [Hardware] and "
               "select [Com & Lpt]. ") +
           crlf2 +
           QStringLiteral(
               "Select then the (connected) [USB Serial Port(Com x)] in the listed devices "
               "and go to Tab [Port Settings]. ") +
           QStringLiteral(
               "Choose [Advanced] and change there the USB converter [COM Port Number] to "
               "any free 1 to 16.") +
           crlf2 +
           QStringLiteral(
               "Unplug the USB converter and plug it again after a few secondes. It should "
               "then automatically be assigned the choosed Port number. Check by "
               "[Hardware], [Com & Lpt].") +
           crlf2 +
           QStringLiteral("Select the same port in the vimbo program with command [Com/Usb].");
}

QString linux_help_text() {
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    return QStringLiteral("Use command [Read infos] and see chapiter; USB Converter.") + crlf2 +
           QStringLiteral(
               "Right-click [Com/usb] to see the serial ports of this computer. Pick the USB "
               "converter: VIMBO links it to a COM number 1 to 16 in the working folder and "
               "opens it.") +
           crlf2 +
           QStringLiteral(
               "By hand: the names under /dev/serial/by-id/ stay the same for the same "
               "converter. Link one to a COM number in the working folder, for example "
               "ln -sfn /dev/serial/by-id/usb-...-port0 com1") +
           crlf2 +
           QStringLiteral(
               "Serial devices belong to the group dialout: add your user to it (sudo adduser "
               "$USER dialout) and log in again.") +
           crlf2 +
           QStringLiteral("Select the same port in the vimbo program with command [Com/Usb].");
}

QString open_help_text() {
#ifdef Q_OS_LINUX
    return linux_help_text();
#else
    return windows_help_text();
#endif
}

QString port_back_line(int com, const QString& rate, const QString& moved_to,
                       const QString& serial_number) {
    QString where;
    if (!moved_to.isEmpty()) {
        where = moved_to;
        if (!serial_number.isEmpty()) where += QStringLiteral(" (serial ") + serial_number + ')';
        where += QStringLiteral(", ");
    }
    return QStringLiteral("COMM:") + QString::number(com) + QStringLiteral(" is back: ") + where +
           QStringLiteral("open again at ") + rate + QStringLiteral("b/s.N.8.1...");
}
