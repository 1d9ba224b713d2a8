#pragma once
#include <QByteArray>

class QIODevice;

// Reads the file being sent line by line: a line ends at CR LF, at CR alone or at LF alone,
// and the line end is not part of it. The bytes are kept as they are (8-bit text).
class Line_reader {
  public:
    explicit Line_reader(QIODevice& device) : device_(device) {}
    // True when no further line is left. A closed file fails (Runtime_failure).
    bool at_end() const;
    // The next line; fails (Runtime_failure) on a closed file or a read error.
    QByteArray next_line();

  private:
    void check_open() const;
    QIODevice& device_;
};

// The number of lines from the current position to the end; the position is put back.
int count_lines(QIODevice& device);
