#pragma once
#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

#include "base/colors.h"

enum class Control_kind { button, text_box, memo, line_list, file_list, hint_line };

// One control of the window as it looks at start. Rectangles are in twips inside the
// client area; an invalid colour means the toolkit's usual look.
struct Control_entry {
    const char* name;
    Control_kind kind;
    QString caption;
    QString tooltip;
    QRect twips;
    QColor back;
    QColor fore;
    bool courier = false;
    bool visible = true;
};

const std::vector<Control_entry>& control_table();

// Keyboard focus order of the window, by control name.
const std::vector<const char*>& focus_order();

constexpr int kTwipsPerPixel = 15;
QRect twips_to_pixels(const QRect& twips);

// Client area of the window at its normal width.
constexpr int kClientWidthTwips = 5964;
constexpr int kClientHeightTwips = 4536;
