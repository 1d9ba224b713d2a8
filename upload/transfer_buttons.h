#pragma once
#include <QColor>
#include <QString>

#include "app/controls.h"
#include "base/colors.h"

// The three transfer buttons (UPDATE, Write EEP, Read EEP) are the only lock between the
// transfers: a running one shows "BUSY!" on its button, and each start command refuses
// while another button shows it.
namespace transfer_buttons {

inline const QString kBusy = QStringLiteral("BUSY!");
inline const QString kUpdateIdle = QStringLiteral("UPDATE");
inline const QString kWriteEepIdle = QStringLiteral("Write EEP");
inline const QString kReadEepIdle = QStringLiteral("Read EEP");

// Exact, case-sensitive, as every busy test is.
inline bool is_busy(const Vb_button* button) {
    return button->caption() == kBusy;
}

inline void make_busy(Vb_button* button, const QColor& color) {
    button->setText(kBusy);
    button->set_back_color(color);
}

// Idle: its own caption on the normal button face.
inline void make_idle(Vb_button* button, const QString& caption) {
    button->set_back_color(colors::kNormalFace);
    button->setText(caption);
}

}  // namespace transfer_buttons
