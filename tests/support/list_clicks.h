#pragma once
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include "app/line_list.h"

// Mouse actions on one row of a Line_list, as the user makes them: the row is scrolled into
// view and the pointer goes to its middle. They go through the shown window, so a double
// click arrives as press, release, press, double click, release, as from a real mouse.
inline QPoint row_point(Line_list* list, int row) {
    list->set_selected_index(row);
    for (int y = 0; y < list->viewport()->height(); ++y) {
        if (list->row_at(y) == row)
            return list->viewport()->mapTo(list->window(), QPoint(8, y + 2));
    }
    ADD_FAILURE() << "row " << row << " not in view";
    return {};
}

inline void click_row(Line_list* list, int row) {
    const QPoint at = row_point(list, row);
    list->set_selected_index(-1);
    QTest::mouseClick(list->window()->windowHandle(), Qt::LeftButton, {}, at);
}

inline void double_click_row(Line_list* list, int row) {
    const QPoint at = row_point(list, row);
    list->set_selected_index(-1);
    QTest::mouseDClick(list->window()->windowHandle(), Qt::LeftButton, {}, at);
}

// The index of the first row that begins with text, -1 if none.
inline int row_starting_with(const Line_list* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i).startsWith(text)) return i;
    }
    return -1;
}
