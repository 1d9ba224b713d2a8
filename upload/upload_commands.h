#pragma once
#include <Qt>

#include "upload/update_vimbo.h"

class Vimbo_form;
class Transfer_view;

// The commands around the upload: the file list (show, pick, clear the pick) and the two
// start commands, UPDATE and Write EEP, whose busy buttons also ask a running transfer to
// stop.
class Upload_commands {
  public:
    explicit Upload_commands(Vimbo_form& form);

    void Cmd_show_upd_file_Click();
    void File_list_1_DblClick();
    void File_list_1_MouseDown(Qt::MouseButton button);
    void Cmd_update_vimbo_Click();
    void Cmd_write_eeprom_Click();

    Upload_procedure& procedure() { return procedure_; }

  private:
    void pick();
    Vimbo_form& f_;
    Transfer_view& view_;
    Upload_procedure procedure_;
};
