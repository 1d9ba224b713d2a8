#pragma once
#include <gtest/gtest.h>

#include <QTest>

#include "app/line_list.h"

// Mouse actions on one row of a Line_list, as the user makes them: the row is scrolled into
// view and the pointer goes to its middle. A double click is sent as a real mouse makes it:
// press, release, press, double click, release.
inline QPoint row_point(Line_list* list, int row) {
    list->set_selected_index(row);
    for (int y = 0; y < list->viewport()->height(); ++y) {
        if (list->row_at(y) == row) return {8, y + 2};
    }
    ADD_FAILURE() << "row " << row << " not in view";
    return {};
}

inline void click_row(Line_list* list, int row) {
    const QPoint at = row_point(list, row);
    list->set_selected_index(-1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline void double_click_row(Line_list* list, int row) {
    const QPoint at = row_point(list, row);
    list->set_selected_index(-1);
    QWidget* viewport = list->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

// The index of the first row that begins with text, -1 if none.
inline int row_starting_with(const Line_list* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i).startsWith(text)) return i;
    }
    return -1;
}
