#pragma once

// What one user chose for this program on this computer, kept in the user's own settings
// (QSettings), never in the working folder's vimbo.set: whether the session record is
// written, and the log's font size.
namespace user_prefs {

bool record_on();
void set_record_on(bool on);

// The log's font size in points; normal when the user never changed it.
int log_font_points(int normal);
void set_log_font_points(int points, int normal);

}  // namespace user_prefs
