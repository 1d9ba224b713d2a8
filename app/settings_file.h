#pragma once
#include <QString>

class Vimbo_form;

// The settings file "vimbo.set" in the current folder: "Save Set," writes it from the
// three setting boxes and reopens the port; the start-up reads it, fills the boxes and
// opens the port it names.
class Settings_file {
  public:
    // Installs the start-up read into the window: construct before Form_Load() runs.
    explicit Settings_file(Vimbo_form& form);

    void Cmd_save_settings_Click();
    // At start-up: read the file, fill the boxes, open the port it names.
    void read_at_start();

    // A settings file is a few dozen bytes; anything longer is not read past this.
    static constexpr qint64 kMaxBytesRead = 64 * 1024;

  private:
    // The new text goes to a file beside the old one and replaces it only when complete,
    // so a failed save leaves the old settings intact. False when it could not.
    bool write_settings_file();
    Vimbo_form& f_;
};
