#pragma once
#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

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

namespace colors {
inline const QColor kRed{255, 0, 0};
inline const QColor kOrangeRed{255, 15, 0};
inline const QColor kMagenta{192, 0, 192};
inline const QColor kGreen{0, 192, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kLightGreen{192, 255, 192};
inline const QColor kLightCyan{224, 255, 255};
inline const QColor kLightYellow{255, 255, 192};
inline const QColor kBlack{0, 0, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kNormalFace{};  // the system button face
}  // namespace colors
