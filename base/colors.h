#pragma once
#include <QColor>

// The colours the handlers paint with, by their RGB values.
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
