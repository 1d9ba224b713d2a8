#pragma once
#include <QImage>

#include "app/controls.h"

// The fill the hint line really paints, read from its picture: the number of columns from
// the left whose top row shows the fill colour. -1 when the top row is not a run of fill
// followed by a run of the base colour.
inline int painted_fill(Hint_line& line) {
    const QImage picture = line.grab().toImage();
    const QRgb fill = line.fill_color().rgb();
    const QRgb base = line.back_color().rgb();
    int filled = 0;
    while (filled < picture.width() && picture.pixel(filled, 0) == fill) ++filled;
    for (int x = filled; x < picture.width(); ++x) {
        if (picture.pixel(x, 0) != base) return -1;
    }
    return filled;
}
