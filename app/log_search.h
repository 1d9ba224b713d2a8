#pragma once
#include <QString>

class Line_store;

// Where a search of the log landed: the row (-1: nowhere) and whether it went round an
// end of the log to get there.
struct Found_row {
    int row = -1;
    bool wrapped = false;
};

// The first row holding needle, ignoring case (Latin-1): from row `from` on (forward) or
// back (backward), going round the end of the log once. An empty needle finds nothing.
Found_row find_row(const Line_store& lines, const QString& needle, int from, bool forward);
