#pragma once
#include <QColor>
#include <QString>

#include "transfer/transfer_view.h"

// The busy look of the transfer buttons and the tests of it, in one place: every test is an
// exact, case-sensitive comparison of the caption the button shows.
namespace transfer_buttons {

inline const QString kBusy = QStringLiteral("BUSY!");
inline const QString kUpdateIdle = QStringLiteral("UPDATE");
inline const QString kWriteEepIdle = QStringLiteral("Write EEP");
inline const QString kReadEepIdle = QStringLiteral("Read EEP");

const QString& idle_caption(Transfer_button button);

inline bool is_busy(const Transfer_view& view, Transfer_button button) {
    return view.caption(button) == kBusy;
}
inline bool shows_idle(const Transfer_view& view, Transfer_button button) {
    return view.caption(button) == idle_caption(button);
}
// True while one of the two other transfer buttons shows "BUSY!": the start refuses then.
bool another_is_busy(const Transfer_view& view, Transfer_button button);

void make_busy(Transfer_view& view, Transfer_button button, const QColor& color);
// Idle: its own caption on the normal button face.
void make_idle(Transfer_view& view, Transfer_button button);

}  // namespace transfer_buttons
