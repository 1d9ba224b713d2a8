#include "upload/file_lines.h"

#include <QFileDevice>
#include <algorithm>
#include <array>

#include "serial/failures.h"

void Line_reader::check_open() const {
    if (!device_.isOpen()) throw Runtime_failure("the file being sent is closed");
}

bool Line_reader::at_end() const {
    check_open();
    return device_.atEnd();
}

// The line is found in what the device has buffered (peek), a chunk at a time, and only
// then taken from it: a line costs a search and a copy, not a call per character.
QByteArray Line_reader::next_line() {
    check_open();
    QByteArray line;
    std::array<char, 256> chunk{};
    for (qint64 got = 0; (got = device_.peek(chunk.data(), qint64(chunk.size()))) > 0;) {
        const char* const begin = chunk.data();
        const char* const end = begin + got;
        const char* const stop =
            std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        line.append(begin, stop - begin);
        if (stop == end) {
            device_.skip(got);
            continue;
        }
        device_.skip(stop - begin + 1);
        char next = 0;
        if (*stop == '\r' && device_.peek(&next, 1) == 1 && next == '\n') device_.skip(1);
        return line;
    }
    // Nothing more to read: either the end of the file (the last line has no line end) or an
    // error.
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
