#include "upload/file_lines.h"

#include <QFileDevice>

#include "serial/failures.h"

void Line_reader::check_open() const {
    if (!device_.isOpen()) throw Runtime_failure("the file being sent is closed");
}

bool Line_reader::at_end() const {
    check_open();
    return device_.atEnd();
}

QByteArray Line_reader::next_line() {
    check_open();
    QByteArray line;
    char c = 0;
    while (device_.getChar(&c)) {
        if (c == '\n') return line;
        if (c == '\r') {
            char next = 0;
            if (device_.peek(&next, 1) == 1 && next == '\n') device_.getChar(&next);
            return line;
        }
        line.append(c);
    }
    // getChar failed: either the end of the file (the last line has no line end) or an error.
    if (const auto* file = qobject_cast<const QFileDevice*>(&device_);
        file && file->error() != QFileDevice::NoError) {
        throw Runtime_failure("the file being sent cannot be read");
    }
    return line;
}

int count_lines(QIODevice& device) {
    const qint64 start = device.pos();
    Line_reader reader(device);
    int lines = 0;
    while (!reader.at_end()) {
        reader.next_line();
        ++lines;
    }
    if (!device.seek(start)) throw Runtime_failure("the file being sent cannot be read");
    return lines;
}
