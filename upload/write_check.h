#pragma once
#include <QString>

class Vimbo_form;
class Checked_image;

// Write EEP reads the whole backup and checks it before anything goes on the wire (before
// the sign-on wait and the start byte). A sound backup is armed in checked, to be sent
// exactly as it was read; a faulty one is refused with one log line, a message box and
// the title, and nothing is sent. An update file (".upd") is sent uninterpreted, as ever.
// Returns whether the write may go on.
bool check_before_write(Vimbo_form& f, Checked_image& checked);

// "EEPROM write refused: " and what is wrong, as the log and the title show it.
QString write_refusal(const QString& fault);
// The message box: the refusal, an empty line, and that nothing was sent.
QString write_refusal_box(const QString& fault);
// Why there is nothing to check: no name given to Read EEP and no file picked.
QString no_backup_named();
