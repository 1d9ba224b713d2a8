#include "app/user_prefs.h"

#include <QSettings>

namespace user_prefs {
namespace {
const QString kRecordOn = QStringLiteral("record/on");
const QString kLogFontPoints = QStringLiteral("log/font_points");

QSettings user_settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("vimbo"),
                     QStringLiteral("vimbo"));
}
}  // namespace

bool record_on() {
    return user_settings().value(kRecordOn, true).toBool();
}

void set_record_on(bool on) {
    user_settings().setValue(kRecordOn, on);
}

int log_font_points(int normal) {
    bool number = false;
    const int points = user_settings().value(kLogFontPoints).toInt(&number);
    return number && points > 0 ? points : normal;
}

void set_log_font_points(int points, int normal) {
    QSettings settings = user_settings();
    if (points == normal) {
        settings.remove(kLogFontPoints);
    } else {
        settings.setValue(kLogFontPoints, points);
    }
}

}  // namespace user_prefs
